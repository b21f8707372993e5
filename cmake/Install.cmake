# Installing. The layout is chosen when installing, from the prefix then in
# force (cmake --install build --prefix DIR may change it):
#
# - a prefix inside the installing user's home, installed without DESTDIR
#   (the default, ~/.local/opt/kavel): the program, its catalogues and samples
#   in that one folder, which stays writable (the photo base is kept there),
#   and a menu entry and icons written to $XDG_DATA_HOME (default
#   ~/.local/share);
# - any other prefix (/usr, /usr/local, /opt/kavel, or a staged DESTDIR
#   install, as for a package): the program on PREFIX/bin; its data, the
#   same on every architecture, in PREFIX/share/kavel, where the program
#   looks for them (platform::programFolder); the desktop entry, icons,
#   AppStream metainfo and the copyright file (share/doc/kavel, with the
#   Debian changelog under /usr) under PREFIX/share. Nothing is written to
#   the user's home.
#
# The program is stripped unless KAVEL_INSTALL_STRIP is OFF.

option(KAVEL_INSTALL_STRIP "Strip the program when installing" ON)
# Installing and packaging take the build as it is (build first): cpack does
# not rebuild every target, which the tests' own cpack run relies on.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

# Metadata shared by the desktop entry, the AppStream file and the package.
set(KAVEL_APPSTREAM_ID "example.kavel.Kavel")
# KAVEL_SITE and KAVEL_CONTACT are set in the top-level CMakeLists.txt.
# Kavel is free software (COPYING); its data files' own licences are in the
# Debian copyright file made from packaging/copyright.in.
set(KAVEL_LICENSE "GPL-3.0-or-later")
set(KAVEL_RELEASE_DATE "2026-12-07") # of version ${PROJECT_VERSION}
set(KAVEL_DEB_RELEASE 1)              # the package's own revision of it
# The AppStream screenshot is the README's picture, as published on the site.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/doc/screenshot.png)
file(READ ${PROJECT_SOURCE_DIR}/doc/screenshot.png kavel_ihdr OFFSET 16 LIMIT 8 HEX) # its size
string(SUBSTRING "${kavel_ihdr}" 0 8 kavel_w)
string(SUBSTRING "${kavel_ihdr}" 8 8 kavel_h)
math(EXPR KAVEL_SCREENSHOT_WIDTH "0x${kavel_w}")
math(EXPR KAVEL_SCREENSHOT_HEIGHT "0x${kavel_h}")

configure_file(${PROJECT_SOURCE_DIR}/packaging/kavel.metainfo.xml.in
  ${CMAKE_BINARY_DIR}/share/metainfo/${KAVEL_APPSTREAM_ID}.metainfo.xml @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/copyright.in
  ${CMAKE_BINARY_DIR}/share/doc/kavel/copyright @ONLY)
# The Debian changelog, compressed as Debian's tools do (no name, no time).
execute_process(COMMAND date -u -R -d ${KAVEL_RELEASE_DATE} OUTPUT_VARIABLE KAVEL_RELEASE_DATE_RFC2822
  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.Debian.in
  ${CMAKE_BINARY_DIR}/packaging/changelog.Debian @ONLY)
execute_process(COMMAND gzip -9 -n -c ${CMAKE_BINARY_DIR}/packaging/changelog.Debian
  OUTPUT_FILE ${CMAKE_BINARY_DIR}/share/doc/kavel/changelog.Debian.gz COMMAND_ERROR_IS_FATAL ANY)

# The layout, and stripping unless told otherwise (cmake --install --strip
# sets CMAKE_INSTALL_DO_STRIP itself).
install(CODE "set(kavel_strip ${KAVEL_INSTALL_STRIP})")
install(CODE [[
  set(kavel_user FALSE)
  set(kavel_home "$ENV{HOME}")
  if("$ENV{DESTDIR}" STREQUAL "" AND NOT kavel_home STREQUAL "" AND NOT kavel_home STREQUAL "/")
    file(REAL_PATH "${kavel_home}" kavel_real_home)
    cmake_path(ABSOLUTE_PATH CMAKE_INSTALL_PREFIX NORMALIZE OUTPUT_VARIABLE kavel_prefix)
    cmake_path(IS_PREFIX kavel_home "${kavel_prefix}" NORMALIZE kavel_user)
    cmake_path(IS_PREFIX kavel_real_home "${kavel_prefix}" NORMALIZE kavel_in_real_home)
    if(kavel_in_real_home)
      set(kavel_user TRUE)
    endif()
  endif()
  if(kavel_user)
    set(kavel_bin ".")
    set(kavel_data ".")
  else()
    set(kavel_bin "bin")
    set(kavel_data "share/kavel")
  endif()
  if(NOT DEFINED CMAKE_INSTALL_DO_STRIP AND kavel_strip)
    set(CMAKE_INSTALL_DO_STRIP 1)
  endif()
]])

install(TARGETS kavel RUNTIME DESTINATION "\${kavel_bin}")
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION "\${kavel_data}" PATTERN ".gitkeep" EXCLUDE)
install(DIRECTORY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/samples DESTINATION "\${kavel_data}"
  PATTERN ".made" EXCLUDE)

install(CODE "set(kavel_share \"${CMAKE_BINARY_DIR}/share\")
  set(kavel_desktop_in \"${PROJECT_SOURCE_DIR}/packaging/kavel.desktop.in\")
  set(kavel_metainfo \"${KAVEL_APPSTREAM_ID}.metainfo.xml\")")
install(CODE [[
  set(prefix "${CMAKE_INSTALL_PREFIX}")
  if(kavel_user)
    # The user's own menu: the entry starts the program where it lies.
    set(data_home "$ENV{XDG_DATA_HOME}")
    if(data_home STREQUAL "")
      set(data_home "$ENV{HOME}/.local/share")
    endif()
    set(kavel_exec "\"${prefix}/kavel\"")
    set(kavel_path "Path=${prefix}\n")
    configure_file("${kavel_desktop_in}" "${data_home}/applications/kavel.desktop" @ONLY)
    file(COPY "${kavel_share}/icons/hicolor" DESTINATION "${data_home}/icons")
    message(STATUS "Menu entry: ${data_home}/applications/kavel.desktop")
  else()
    if(prefix STREQUAL "/usr" OR prefix STREQUAL "/usr/local")
      set(kavel_exec "kavel")
    else()
      set(kavel_exec "\"${prefix}/bin/kavel\"")
    endif()
    set(kavel_path "")
    set(entry "$ENV{DESTDIR}${prefix}/share/applications/kavel.desktop")
    message(STATUS "Installing: ${entry}")
    configure_file("${kavel_desktop_in}" "${entry}" @ONLY)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${entry}")
    file(INSTALL "${kavel_share}/icons/hicolor" DESTINATION "${prefix}/share/icons")
    file(INSTALL "${kavel_share}/metainfo/${kavel_metainfo}" DESTINATION "${prefix}/share/metainfo")
    file(INSTALL "${kavel_share}/doc/kavel/copyright" DESTINATION "${prefix}/share/doc/kavel")
    if(prefix STREQUAL "/usr")
      file(INSTALL "${kavel_share}/doc/kavel/changelog.Debian.gz" DESTINATION "${prefix}/share/doc/kavel")
    endif()
  endif()
]])

include(${CMAKE_CURRENT_LIST_DIR}/Packaging.cmake)
