# What `cmake --install` puts in place (GNUInstallDirs): both programs, the
# defaults an installed program fills its data folder from, the menu entry,
# its icon and AppStream metainfo, and the manual pages in English and
# Japanese.  The programs find the defaults relative to their own directory,
# so an installed tree works under any prefix.
set(POMURINA_APP_ID jp.example.pomurina)
set(desktop_dir ${CMAKE_SOURCE_DIR}/desktop)

install(TARGETS pomurina-report RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/defaults/ DESTINATION ${CMAKE_INSTALL_DATADIR}/pomurina)

if(POMURINA_WITH_GUI)
    install(TARGETS pomurina RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${desktop_dir}/${POMURINA_APP_ID}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${desktop_dir}/${POMURINA_APP_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    install(FILES ${desktop_dir}/${POMURINA_APP_ID}.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

    # The fixed sizes are rendered from the one SVG, so the pictures can't drift apart.
    find_program(RSVG_CONVERT rsvg-convert REQUIRED)
    set(icons)
    foreach(size 16 22 24 32 48 64 128 256)
        set(png ${CMAKE_BINARY_DIR}/icons/${size}x${size}/${POMURINA_APP_ID}.png)
        add_custom_command(OUTPUT ${png}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}
            COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${desktop_dir}/${POMURINA_APP_ID}.svg
            DEPENDS ${desktop_dir}/${POMURINA_APP_ID}.svg VERBATIM)
        list(APPEND icons ${png})
        install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
    add_custom_target(pomurina_icons ALL DEPENDS ${icons})
endif()

# Manual pages, compressed as Debian keeps them.
set(pages pomurina-report.1)
if(POMURINA_WITH_GUI)
    list(APPEND pages pomurina.1)
endif()
find_program(GZIP gzip REQUIRED)
set(compressed_pages)
foreach(lang en ja)
    set(from ${CMAKE_SOURCE_DIR}/man)
    set(to ${CMAKE_BINARY_DIR}/man/${lang})
    set(destination ${CMAKE_INSTALL_MANDIR}/man1)
    if(NOT lang STREQUAL "en")
        set(from ${from}/${lang})
        set(destination ${CMAKE_INSTALL_MANDIR}/${lang}/man1)
    endif()
    foreach(page IN LISTS pages)
        add_custom_command(OUTPUT ${to}/${page}.gz
            COMMAND ${CMAKE_COMMAND} -E copy ${from}/${page} ${to}/${page}
            COMMAND ${GZIP} -9nf ${to}/${page}
            DEPENDS ${from}/${page} VERBATIM)
        list(APPEND compressed_pages ${to}/${page}.gz)
        install(FILES ${to}/${page}.gz DESTINATION ${destination})
    endforeach()
endforeach()
add_custom_target(pomurina_manual_pages ALL DEPENDS ${compressed_pages})

# The form of the report tool's --json output, for those who read it.
install(FILES ${CMAKE_SOURCE_DIR}/tools/report/report.schema.json DESTINATION ${CMAKE_INSTALL_DOCDIR})
