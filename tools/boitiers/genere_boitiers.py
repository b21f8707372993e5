#!/usr/bin/env python3
"""Builds data/Boitiers.csv, the body catalogue Kavel ships, from the camera
specifications database (camera_data.csv, MIT licence) and three small files
of our own beside this script:

  montures.tsv     the lens mount of interchangeable-lens bodies, by maker
                   and model pattern (the database has no mount column);
  flash.csv        built-in flash synchronisation speeds, each with the
                   published specification it comes from (the database has
                   no flash data: a body missing here has an unknown flash);
  corrections.csv  hand corrections of single values: Marque,Modele,Colonne,
                   Valeur,Raison. A correction naming a column "Exclure"
                   leaves the body out.

Usage: genere_boitiers.py [camera_data.csv] [output.csv]
(defaults: ../shared/equipment/camera_data.csv and data/Boitiers.csv, from
the project's root). The output is the same for the same inputs.
"""

import csv
import io
import math
import os
import re
import sys

ICI = os.path.dirname(os.path.abspath(__file__))
RACINE = os.path.dirname(os.path.dirname(ICI))
ANNEE_MINI = 2008
COLONNES = ['Marque', 'Modele', 'Annee', 'Monture', 'Recadrage', 'VitesseMax', 'VitesseFlash',
            'IsoMini', 'IsoMaxi', 'FocaleMini', 'FocaleMaxi', 'DiafMini', 'DiafMiniZoom', 'Source']


def nombre(texte):
    texte = texte.strip()
    if not texte:
        return None
    try:
        v = float(texte)
    except ValueError:
        return None
    return v if math.isfinite(v) else None


def texte_nombre(v):
    """A point decimal without trailing zeros; empty for None."""
    if v is None:
        return ''
    if v == int(v):
        return str(int(v))
    return ('%.4f' % v).rstrip('0').rstrip('.')


def vitesse_max(texte):
    """'1/8000 sec' -> 8000; a whole number of seconds gives its inverse."""
    m = re.fullmatch(r'\s*1/(\d+(?:\.\d+)?)\s*sec\s*', texte)
    if m:
        return float(m.group(1))
    return None


def plage_iso(texte):
    """The native sensitivity range: the extended values in parentheses
    ('expands to', 'with boost', 'Hi Auto (...)') are left out; what
    remains is a range '100-51200' or a list of values. A text that is
    nothing but "Auto (100-1600000)" gives the range in its parentheses."""
    def valeurs(t):
        v = [float(x) for x in re.findall(r'\d+', t)]
        return [x for x in v if 6 <= x <= 10_000_000]

    sans = re.sub(r'\([^)]*\)?', ' ', texte)       # parentheses, even unclosed
    sans = re.sub(r'\d+[^,]*with boost', ' ', sans)  # "6400 with boost)"
    trouvees = valeurs(sans)
    if not trouvees:
        for dedans in re.findall(r'\(([^)]*)\)', texte):
            if not re.search(r'expand|extend|boost|with|at |mode', dedans):
                trouvees = valeurs(dedans)
                break
    if not trouvees:
        return None
    return min(trouvees), max(trouvees)


def deux_nombres(texte, prefixe=''):
    """'24 - 100 mm' -> (24, 100); 'f2.8 - f4.8' -> (2.8, 4.8); '35 mm' -> (35, 35)."""
    valeurs = [float(v) for v in re.findall(prefixe + r'\s*(\d+(?:\.\d+)?)', texte)]
    if not valeurs:
        return None
    return valeurs[0], valeurs[-1]


def lit_tsv_montures():
    regles = []
    with open(os.path.join(ICI, 'montures.tsv'), encoding='utf-8') as f:
        for ligne in f:
            if ligne.startswith('#') or not ligne.strip():
                continue
            marque, motif, monture = ligne.rstrip('\n').split('\t')
            if marque == 'Marque':
                continue
            regles.append((marque, re.compile(motif), monture))
    return regles


def lit_csv(nom):
    chemin = os.path.join(ICI, nom)
    if not os.path.exists(chemin):
        return []
    with open(chemin, encoding='utf-8', newline='') as f:
        return [r for r in csv.DictReader(f) if r.get('Marque')]


def genere(source, sortie):
    regles = lit_tsv_montures()
    flashs = {(r['Marque'], r['Modele']): r for r in lit_csv('flash.csv')}
    corrections = lit_csv('corrections.csv')

    with open(source, encoding='utf-8', newline='') as f:
        lignes = list(csv.DictReader(f))

    boitiers = {}
    ecartes = 0
    for r in lignes:
        annee = nombre(r.get('Year', ''))
        if annee is None or annee < ANNEE_MINI:
            continue
        cle = (r['Brand'].strip(), r['Model'].strip())
        if not cle[0] or not cle[1] or cle in boitiers:
            continue  # a body listed twice keeps its first line
        vmax = vitesse_max(r.get('Max. shutter speed', ''))
        iso = plage_iso(r.get('ISO', ''))
        recadrage = nombre(r.get('Crop factor', ''))
        b = dict.fromkeys(COLONNES)
        b.update(Marque=cle[0], Modele=cle[1], Annee=int(annee), Recadrage=recadrage,
                 VitesseMax=vmax, Source='')
        if iso:
            b['IsoMini'], b['IsoMaxi'] = iso
        focales = deux_nombres(r.get('Focal length (35mm equiv.)', ''))
        ouvertures = deux_nombres(r.get('Max aperture', ''), 'f?')
        if focales and ouvertures and recadrage:
            # The database gives 35 mm equivalents: the real focal lengths
            # are those divided by the crop factor.
            b['FocaleMini'] = round(focales[0] / recadrage, 1)
            b['FocaleMaxi'] = round(focales[1] / recadrage, 1)
            b['DiafMini'], b['DiafMiniZoom'] = ouvertures
        else:
            for marque, motif, monture in regles:
                if marque == cle[0] and motif.search(cle[1]):
                    b['Monture'] = monture
                    break
        flash = flashs.get(cle)
        if flash:
            b['VitesseFlash'] = nombre(flash['VitesseFlash'])
            b['Source'] = flash['Source'].strip()
        boitiers[cle] = b

    exclus = set()
    for c in corrections:
        cle = (c['Marque'], c['Modele'])
        if c['Colonne'] == 'Exclure':
            exclus.add(cle)
        elif cle in boitiers and c['Colonne'] in COLONNES:
            v = c['Valeur']
            boitiers[cle][c['Colonne']] = v if c['Colonne'] in ('Monture', 'Source', 'Modele') else nombre(v)
        else:
            print(f'correction sans effet : {c}', file=sys.stderr)

    # A body the chart cannot use (no fastest speed or no ISO range) is left out.
    retenus = []
    for cle, b in boitiers.items():
        if cle in exclus or not b['VitesseMax'] or not b['IsoMini'] or b['IsoMini'] > b['IsoMaxi']:
            ecartes += 1
            continue
        retenus.append(b)
    retenus.sort(key=lambda b: (b['Marque'].lower(), -b['Annee'], b['Modele'].lower()))

    texte = io.StringIO()
    w = csv.writer(texte, lineterminator='\n')
    w.writerow(COLONNES)
    for b in retenus:
        w.writerow([b[c] if c in ('Marque', 'Modele', 'Monture', 'Source') else
                    (b[c] if c == 'Annee' else texte_nombre(b[c])) for c in COLONNES])
    with open(sortie, 'w', encoding='utf-8', newline='') as f:
        f.write(texte.getvalue())

    flash_connus = sum(1 for b in retenus if b['VitesseFlash'] is not None)
    print(f'{len(retenus)} boîtiers écrits dans {sortie} ({ecartes} écartés, '
          f'{flash_connus} flashs connus, '
          f'{sum(1 for b in retenus if b["Monture"])} montures, '
          f'{sum(1 for b in retenus if b["FocaleMini"])} objectifs intégrés)')


if __name__ == '__main__':
    source = sys.argv[1] if len(sys.argv) > 1 else os.path.join(RACINE, '..', 'shared', 'equipment',
                                                                   'camera_data.csv')
    sortie = sys.argv[2] if len(sys.argv) > 2 else os.path.join(RACINE, 'data', 'Boitiers.csv')
    genere(source, sortie)
