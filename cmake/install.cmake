# What `cmake --install` puts where, the manual pages, and the Debian package
# (`cpack -G DEB`, run by scripts/package.sh).
include(GNUInstallDirs)

# The project has no public site yet; the metainfo's home page and screenshot point here.
set(VORKAT_HOMEPAGE "https://vorkat.example.org" CACHE STRING "Home page named in the AppStream metainfo")

install(TARGETS vorkat-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(VORKAT_GUI)
  install(TARGETS vorkat RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES data/org.vorkat.vorkat.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  configure_file(data/org.vorkat.vorkat.metainfo.xml.in org.vorkat.vorkat.metainfo.xml @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/org.vorkat.vorkat.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(DIRECTORY data/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
  install(FILES data/icons/org.vorkat.vorkat.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

# The user guide sits where Help opens it (share/vorkat/docs beside bin/../), the
# examples beside it with their empty out/ folders.
install(FILES docs/USER_GUIDE.md DESTINATION ${CMAKE_INSTALL_DATADIR}/vorkat/docs)
install(DIRECTORY docs/images DESTINATION ${CMAKE_INSTALL_DATADIR}/vorkat/docs)
install(DIRECTORY examples/ DESTINATION ${CMAKE_INSTALL_DATADIR}/vorkat/examples
        PATTERN "make_*.py" EXCLUDE PATTERN ".git*" EXCLUDE)
install(FILES CHANGELOG.md README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The licence, where Debian keeps a package's copyright file.
install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME copyright)

# Manual pages: help2man builds both from the programs' own --help and
# --version and the one shared text docs/man/vorkat.h2m.
find_program(HELP2MAN help2man)
if(HELP2MAN)
  set(man_include ${CMAKE_SOURCE_DIR}/docs/man/vorkat.h2m)
  set(man_pages)
  set(man_programs vorkat-cli)
  set(man_name_vorkat-cli "run a Vorkat batch script without a window")
  if(VORKAT_GUI)
    list(APPEND man_programs vorkat)
    set(man_name_vorkat "workbench for translating the text of Game Boy and Game Boy Advance games")
  endif()
  foreach(program ${man_programs})
    set(page ${CMAKE_BINARY_DIR}/man/${program}.1)
    add_custom_command(
      OUTPUT ${page}.gz
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
      COMMAND ${HELP2MAN} --no-info --section=1 --include=${man_include} "--name=${man_name_${program}}"
              --output=${page} $<TARGET_FILE:${program}>
      COMMAND gzip -9nf -k ${page}
      DEPENDS ${program} ${man_include}
      COMMENT "Manual page ${program}(1)"
      VERBATIM)
    list(APPEND man_pages ${page}.gz)
  endforeach()
  add_custom_target(vorkat-manpages ALL DEPENDS ${man_pages})
  install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

set(CPACK_PACKAGE_NAME vorkat)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Vorkat developers <vorkat@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "workbench for translating Game Boy and Game Boy Advance games")
# The extended description under the summary; cpack indents its lines.
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
       "Vorkat extracts the text of a Game Boy, Game Boy Color or Game Boy Advance\n"
       "ROM image through a translation table, edits it beside a preview in the\n"
       "game's font, inserts the translation into free space with the pointers\n"
       "rewritten, and publishes the result as an IPS or BPS patch. vorkat-cli\n"
       "runs the same work from batch scripts without a window.")
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The dependencies come from the binaries (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own Russian texts (standard buttons, file dialogs), loaded when installed.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
include(CPack)
