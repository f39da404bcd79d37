# Installation and the Debian package.
#
#   cmake --install build --prefix P     P/bin/quilconf, P/bin/quilxdb, P/bin/quilinspect,
#                                        P/bin/quil-lsp,
#                                        P/share/man/man1/quilconf.1.gz, quilxdb.1.gz,
#                                        quilinspect.1.gz, quil-lsp.1.gz,
#                                        P/share/doc/quillora-compilers/README.md, language.md,
#                                        P/share/doc/quillora-compilers/examples/*.xml,
#                                        P/share/quillora-compilers/schemas/*.xsd
#   cd build && cpack -G DEB             quillora-compilers_<version>_<arch>.deb, the same
#                                        files under /usr
#
# A Windows build (scripts/build-windows.sh) installs one folder instead, packed by
# `cpack -G ZIP`: quilconf.exe, quilxdb.exe, quilinspect.exe, quil-lsp.exe, examples/, schemas/, README.md, language.md.
set(QUIL_PACKAGE quillora-compilers)
set(QUIL_PROGRAMS quilconf quilxdb quilinspect quil-lsp)

if(WIN32)
  install(TARGETS ${QUIL_PROGRAMS} RUNTIME DESTINATION .)
  install(FILES examples/configuration.xml examples/exchange.xml DESTINATION examples)
  install(FILES schemas/quillora.xsd schemas/palm-client.xsd DESTINATION schemas)
  install(FILES README.md doc/language.md DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME ${QUIL_PACKAGE})
  set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
  set(CPACK_SYSTEM_NAME win64)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
  include(CPack)
  return()
endif()

include(GNUInstallDirs)
set(QUIL_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/${QUIL_PACKAGE})
set(QUIL_SCHEMA_DIR ${CMAKE_INSTALL_DATAROOTDIR}/${QUIL_PACKAGE}/schemas)

install(TARGETS ${QUIL_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Man pages get the package version at configure time (man/*.1.in into man-pages/) and are
# installed compressed, as Debian has them (gzip -9n: no name or date inside, so the same page
# gives the same bytes).
set(man_pages)
foreach(page quilconf.1 quilxdb.1 quilinspect.1 quil-lsp.1)
  set(configured ${CMAKE_CURRENT_BINARY_DIR}/man-pages/${page})
  configure_file(${CMAKE_CURRENT_SOURCE_DIR}/man/${page}.in ${configured} @ONLY)
  set(compressed ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.gz)
  add_custom_command(
    OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E copy ${configured} ${CMAKE_CURRENT_BINARY_DIR}/man/${page}
    COMMAND gzip -9nf ${CMAKE_CURRENT_BINARY_DIR}/man/${page}
    DEPENDS ${configured}
    VERBATIM)
  list(APPEND man_pages ${compressed})
endforeach()
add_custom_target(man_pages ALL DEPENDS ${man_pages})
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES README.md doc/language.md DESTINATION ${QUIL_DOC_DIR})
install(FILES examples/configuration.xml examples/exchange.xml
        DESTINATION ${QUIL_DOC_DIR}/examples)
install(FILES schemas/quillora.xsd schemas/palm-client.xsd DESTINATION ${QUIL_SCHEMA_DIR})

set(QUIL_PACKAGE_CONTACT "quillora-compilers maintainers <quillora-compilers@localhost>"
    CACHE STRING "Maintainer of the Debian package")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${QUIL_PACKAGE})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${QUIL_PACKAGE_CONTACT})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "compilers of the databases of a handheld sales and document client")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "quilconf compiles a configuration document (XML, root quillora) into the client's\n"
       "configuration database QL_Configuration.pdb; quilxdb compiles an exchange\n"
       "description (XML, root palm-client) into QL_PalmClientTransferDB.pdb; quil-lsp\n"
       "is a language server for editors. Man pages, examples and XML Schemas for\n"
       "editors are included.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
# The runtime dependencies: what dpkg-shlibdeps finds for the programs (libxml2 among them)
# where it is installed (package dpkg-dev), otherwise the libraries they link, named here.
find_program(QUIL_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(QUIL_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.34), libgcc-s1, libstdc++6 (>= 12), libxml2 (>= 2.9)")
endif()
include(CPack)
