#pragma once

#include "equipment/CatalogueBoitiers.h"

#include <QDialog>
#include <QString>
#include <optional>
#include <vector>

class QDialogButtonBox;
class QPushButton;
class QTableWidget;

namespace kavel {

// "Mes appareils…": the student's own bodies and lenses, edited in two
// tables and kept in MesBoitiers.csv and MesObjectifs.txt in the user's data
// folder. Lines of those files that could not be read are kept as they were
// when the files are written again.
class DialogueMateriel : public QDialog {
    Q_OBJECT
public:
    // dossier: the folder of the two files (created when first written).
    // boitierAffiche: the body on show in the main window, offered by the
    // button "Ajouter le boîtier affiché" (nothing offered when empty).
    DialogueMateriel(const QString &dossier, const TypeBoitier &boitierAffiche, QWidget *parent = nullptr);

    QTableWidget *TabBoitiers = nullptr;
    QTableWidget *TabMesObjectifs = nullptr;
    QPushButton *BtnAjouterBoitier = nullptr;
    QPushButton *BtnAjouterBoitierAffiche = nullptr;
    QPushButton *BtnSupprimerBoitier = nullptr;
    QPushButton *BtnAjouterObjectif = nullptr;
    QPushButton *BtnSupprimerObjectif = nullptr;
    QDialogButtonBox *Boutons = nullptr; // "Enregistrer" and "Annuler"

    // The rows as read back from the tables; nothing when a cell holds what
    // its column cannot take (the message names the row and the column).
    std::optional<std::vector<TypeBoitier>> boitiers(QString *erreur = nullptr) const;
    std::optional<std::vector<TypeObjectif>> objectifs(QString *erreur = nullptr) const;

signals:
    // Both files were written.
    void materielEnregistre();

private:
    void enregistre();
    QString m_dossier;
    TypeBoitier m_boitierAffiche;
    std::vector<LigneRejetee> m_boitiersRejetes;
    std::vector<LigneRejetee> m_objectifsRejetes;
    // The file was there but could not be read: it is not written over.
    bool m_boitiersIllisibles = false;
    bool m_objectifsIllisibles = false;
};

} // namespace kavel
