# The part of the Linux install rules that runs at install time (install(SCRIPT)
# in src/game, after an install(CODE) that sets the quarn_* variables): what
# hangs on where the tree goes, or on whether cpack is making the Debian package.
#
# The menu entry names the launcher by its full path, which is known only once
# the prefix is (cmake --install --prefix may change it). Everything here is
# written into a folder of the build and installed from there with its modes
# given, so they do not hang on the umask of whoever installs or packages.
#
# QUARN_DEBIAN_LAYOUT is set for cpack's install (CPACK_CUSTOM_INSTALL_VARIABLES
# in QuarnPackage.cmake): Debian keeps games in games/ rather than bin/, wants
# manual pages compressed and the doc folder to hold the licence in its
# machine-readable copyright format and a changelog.gz; other installs get the
# plain manual page and LICENSE.

set(quarn_stage "${quarn_build}/install-layout")
file(REMOVE_RECURSE "${quarn_stage}")
file(MAKE_DIRECTORY "${quarn_stage}")
set(quarn_readable OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
set(quarn_runnable OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(quarn_launcher_dir "${quarn_bindir}")
if(QUARN_DEBIAN_LAYOUT)
  set(quarn_launcher_dir games)
endif()

# Gzips a file for Debian: best compression, no name or time stamp in it.
function(quarn_gzip from to)
  execute_process(COMMAND gzip -9n -c "${from}" OUTPUT_FILE "${to}" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "gzip -9n ${from} failed: ${failed}")
  endif()
endfunction()

# The launcher finds the game and its data folder relative to itself, so the
# tree can be moved.
file(RELATIVE_PATH QUARN_BIN_TO_DATA "/p/${quarn_launcher_dir}" "/p/${quarn_data_dir}")
file(RELATIVE_PATH QUARN_BIN_TO_GAME "/p/${quarn_launcher_dir}" "/p/${quarn_game}")
configure_file("${quarn_source}/src/game/quarn-launcher.sh.in" "${quarn_stage}/quarn" @ONLY)
file(INSTALL "${quarn_stage}/quarn" DESTINATION "${CMAKE_INSTALL_PREFIX}/${quarn_launcher_dir}"
     FILE_PERMISSIONS ${quarn_runnable})

# The menu entry, named by the AppStream id as the metadata's launchable says.
set(QUARN_EXEC "${CMAKE_INSTALL_PREFIX}/${quarn_launcher_dir}/quarn")
configure_file("${quarn_source}/packaging/linux/io.github.quarn.desktop.in" "${quarn_stage}/io.github.quarn.desktop" @ONLY)
file(INSTALL "${quarn_stage}/io.github.quarn.desktop" DESTINATION "${CMAKE_INSTALL_PREFIX}/${quarn_datadir}/applications"
     FILE_PERMISSIONS ${quarn_readable})

if(QUARN_DEBIAN_LAYOUT)
  if(NOT QUARN_DEBIAN_MAINTAINER)
    message(FATAL_ERROR "QUARN_DEBIAN_LAYOUT without QUARN_DEBIAN_MAINTAINER to sign the changelog")
  endif()
  quarn_gzip("${quarn_build}/quarn.6" "${quarn_stage}/quarn.6.gz")
  file(INSTALL "${quarn_stage}/quarn.6.gz" DESTINATION "${CMAKE_INSTALL_PREFIX}/${quarn_mandir}/man6"
       FILE_PERMISSIONS ${quarn_readable})
  configure_file("${quarn_source}/packaging/debian/changelog.in" "${quarn_stage}/changelog" @ONLY)
  quarn_gzip("${quarn_stage}/changelog" "${quarn_stage}/changelog.gz")
  file(INSTALL "${quarn_source}/packaging/debian/copyright" "${quarn_stage}/changelog.gz"
       DESTINATION "${CMAKE_INSTALL_PREFIX}/${quarn_docdir}" FILE_PERMISSIONS ${quarn_readable})
else()
  file(INSTALL "${quarn_build}/quarn.6" DESTINATION "${CMAKE_INSTALL_PREFIX}/${quarn_mandir}/man6"
       FILE_PERMISSIONS ${quarn_readable})
  file(INSTALL "${quarn_source}/LICENSE" DESTINATION "${CMAKE_INSTALL_PREFIX}/${quarn_docdir}"
       FILE_PERMISSIONS ${quarn_readable})
endif()
