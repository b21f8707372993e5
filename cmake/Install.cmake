# Installing: the program, its catalogues and samples in one folder the user
# owns (the program's folder must stay writable for the photo base), plus a
# desktop entry and an icon in the user's applications menu.
#
#   cmake --install build                 -> ~/.local/opt/kavel
#   cmake --install build --prefix DIR    -> DIR
# The menu entry goes to $XDG_DATA_HOME (default ~/.local/share), read when
# installing.

install(TARGETS kavel RUNTIME DESTINATION .)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION . PATTERN ".gitkeep" EXCLUDE)
install(DIRECTORY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/samples DESTINATION . PATTERN ".made" EXCLUDE)
install(FILES ${CMAKE_BINARY_DIR}/share/kavel.png DESTINATION .)

install(CODE [[
  set(data_home "$ENV{XDG_DATA_HOME}")
  if(data_home STREQUAL "")
    set(data_home "$ENV{HOME}/.local/share")
  endif()
  set(prefix "${CMAKE_INSTALL_PREFIX}")
  file(MAKE_DIRECTORY "${data_home}/applications" "${data_home}/icons/hicolor/128x128/apps")
  file(COPY_FILE "${prefix}/kavel.png" "${data_home}/icons/hicolor/128x128/apps/kavel.png")
  file(WRITE "${data_home}/applications/kavel.desktop"
"[Desktop Entry]
Type=Application
Name=Kavel
GenericName=Exposition photographique
Comment=Logiciel didactique de l'exposition photographique
Exec=\"${prefix}/kavel\"
Path=${prefix}
Icon=kavel
Terminal=false
Categories=Education;Graphics;Photography;
")
  message(STATUS "Menu entry: ${data_home}/applications/kavel.desktop")
]])
