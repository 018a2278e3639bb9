# zorbix_install_gzip(SOURCE DESTINATION COMPONENT [EXCLUDE_FROM_ALL]): installs
# SOURCE compressed as Debian wants its man pages and changelogs: gzip -9n, so
# that the archive holds neither the file's name nor a time and two builds give
# the same bytes. EXCLUDE_FROM_ALL keeps a file for the package alone.
function(zorbix_install_gzip source destination component)
  get_filename_component(nom ${source} NAME)
  set(copie ${CMAKE_CURRENT_BINARY_DIR}/gzip/${component}/${nom})
  add_custom_command(OUTPUT ${copie}.gz
                     COMMAND ${CMAKE_COMMAND} -E copy ${source} ${copie}
                     COMMAND gzip -9nf ${copie}
                     DEPENDS ${source}
                     VERBATIM)
  string(MAKE_C_IDENTIFIER "gzip_${component}_${nom}" cible)
  add_custom_target(${cible} ALL DEPENDS ${copie}.gz)
  install(FILES ${copie}.gz DESTINATION ${destination} COMPONENT ${component} ${ARGN})
endfunction()
