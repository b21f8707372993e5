# The Debian package: cpack -G DEB in the build folder (or
# cpack --config build/CPackConfig.cmake -B DIR) makes kavel_VERSION-1_ARCH.deb,
# installed under /usr; dpkg-shlibdeps finds the libraries it depends on.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kavel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Kavel)
set(CPACK_PACKAGE_CONTACT ${KAVEL_CONTACT})
# Staged with DESTDIR, as a system install: nothing goes to the user's home.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ${KAVEL_INSTALL_STRIP})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "teaching tool for photographic exposure")

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Kavel <${KAVEL_CONTACT}>")
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${KAVEL_SITE})
set(CPACK_DEBIAN_PACKAGE_RELEASE ${KAVEL_DEB_RELEASE})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The lens database's library comes through dpkg-shlibdeps; its data, which
# the program reads at run time, is a package of its own.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "liblensfun-data-v1")
# Qt's own dialogs and menus (Copier, Coller, Annuler…) are French only with
# Qt's translations.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
# The first line of the Description field is CPACK_PACKAGE_DESCRIPTION_SUMMARY.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "For one light level, Kavel shows every shutter speed, aperture and ISO
combination that exposes correctly, where the student's camera body and lens
stop them, and which of their own photos were taken in that light. The
program is in French.

Logiciel didactique de l'exposition photographique : pour un niveau de
lumière, Kavel montre tous les couples vitesse, ouverture et sensibilité qui
exposent correctement, les limites du boîtier et de l'objectif de l'élève,
et celles de ses propres photos prises sous cette lumière.")

include(CPack)
