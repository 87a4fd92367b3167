# Install rules and the Debian package (tools/package.sh). The package holds the program,
# its menu entry, icon, AppStream data, manual page and the guides the Help menu opens.
include(GNUInstallDirs)

# The day this version was released; change it together with the project version.
set(VORLAN_RELEASE_DATE 2026-12-10)
set(VORLAN_MAINTAINER "Vorlan maintainers <maintainers@users.noreply.c-seed-5d52ceec.example>"
    CACHE STRING "Name and address in the package's Maintainer field")
execute_process(COMMAND date -u -R -d "${VORLAN_RELEASE_DATE} 12:00"
                OUTPUT_VARIABLE VORLAN_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE)

set(packaging ${CMAKE_CURRENT_LIST_DIR})
set(generated ${CMAKE_BINARY_DIR}/packaging)
configure_file(${packaging}/vorlan.metainfo.xml.in ${generated}/vorlan.metainfo.xml @ONLY)
configure_file(${packaging}/changelog.in ${generated}/changelog @ONLY)
configure_file(${packaging}/vorlan.1.in ${generated}/vorlan.1 @ONLY)
# Compressed without name or time stamp, so the same sources give the same package.
foreach(file changelog vorlan.1)
  execute_process(COMMAND gzip -9 -n -c ${generated}/${file} OUTPUT_FILE ${generated}/${file}.gz
                  COMMAND_ERROR_IS_FATAL ANY)
endforeach()

install(TARGETS vorlan RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${packaging}/vorlan.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${packaging}/icons/vorlan-${size}.png RENAME vorlan.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${packaging}/icons/vorlan.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${generated}/vorlan.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${generated}/vorlan.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# The Help menu looks for the guides in ../share/doc/vorlan beside the executable.
install(FILES ${PROJECT_SOURCE_DIR}/docs/usage-guide.html ${PROJECT_SOURCE_DIR}/docs/printing-help.html
              ${packaging}/copyright ${generated}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vorlan)
install(FILES ${packaging}/vorlan.doc-base RENAME vorlan DESTINATION ${CMAKE_INSTALL_DATADIR}/doc-base)

# Qt loads the database driver and the window system and printing plugins at run time, so
# the library scan cannot see them; their Debian packages are looked up here, leaving out
# those the scan finds anyway (the packages of the linked Qt libraries).
set(VORLAN_PLUGIN_PACKAGES "")
find_program(DPKG_QUERY dpkg-query)
function(vorlan_owning_package file out)
  execute_process(COMMAND ${DPKG_QUERY} -S ${file} OUTPUT_VARIABLE owner ERROR_QUIET
                  OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status)
  if(status EQUAL 0 AND owner MATCHES "^([^:,]+)")
    set(${out} ${CMAKE_MATCH_1} PARENT_SCOPE)
  else()
    set(${out} "" PARENT_SCOPE)
  endif()
endfunction()
if(DPKG_QUERY)
  set(linked "")
  foreach(module Core Gui Widgets Sql PrintSupport Network Charts)
    get_target_property(location Qt6::${module} LOCATION)
    vorlan_owning_package(${location} package)
    list(APPEND linked ${package})
  endforeach()
  foreach(plugin sqldrivers/libqsqlite.so platforms/libqxcb.so printsupport/libcupsprintersupport.so)
    set(location ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_PLUGINS}/${plugin})
    if(NOT EXISTS ${location})
      message(WARNING "The Qt plugin ${location} is missing; the package will not depend on it")
      continue()
    endif()
    vorlan_owning_package(${location} package)
    if(package AND NOT package IN_LIST linked)
      list(APPEND VORLAN_PLUGIN_PACKAGES ${package})
    endif()
  endforeach()
  list(REMOVE_DUPLICATES VORLAN_PLUGIN_PACKAGES)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vorlan)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Vorlan developers")
set(CPACK_PACKAGE_CONTACT "${VORLAN_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "takeout shop orders and receipt printing")
set(CPACK_PACKAGE_DESCRIPTION
    "Vorlan takes orders and prints receipts for a small takeout shop. The
operator finds goods by their numeric or letter code, builds the order lines,
picks the receipt header, shop, discount and payment method, types the
customer's phone and settles: the order is stored in a local SQLite database
and printed on a 58 or 80 mm receipt printer, through the system's print
dialog, into a PDF file or straight to an ESC/POS thermal printer on USB or
the network.

Order history, sales statistics and income reports come with it.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
list(JOIN VORLAN_PLUGIN_PACKAGES ", " plugin_depends)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${plugin_depends}, fonts-wqy-microhei")
string(REGEX REPLACE "^, " "" CPACK_DEBIAN_PACKAGE_DEPENDS "${CPACK_DEBIAN_PACKAGE_DEPENDS}")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
