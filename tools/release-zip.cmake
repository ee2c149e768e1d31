# cmake -DSOURCE=<checkout> -DZIP=<zip path> -P release-zip.cmake, run in
# the build folder (the release_zip target, on every build): packs the
# folder Quimbara/ there as the release zip.
# A zip records times and permissions. The times are all the last commit's
# (SOURCE_DATE_EPOCH, if set, wins; outside a git checkout 1980-01-01, the
# earliest a zip can hold) and the permissions are fixed, so that one commit
# gives the same bytes on any machine, at any hour, under any umask.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(epoch "$ENV{SOURCE_DATE_EPOCH}")
else()
  execute_process(COMMAND git -C "${SOURCE}" log -1 --format=%ct
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(NOT epoch MATCHES "^[0-9]+$")
    set(epoch 315532800)
  endif()
endif()
set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
# Zip times are local times: the same ones for everybody.
set(ENV{TZ} UTC)

set(stage release-zip.stage)
file(REMOVE_RECURSE ${stage})
file(COPY Quimbara/Quimbara.exe DESTINATION ${stage}/Quimbara FILE_PERMISSIONS
     OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
file(COPY Quimbara/Mapa_Politico_de_Espana.jpg Quimbara/LEEME.txt Quimbara/LICENCIA.txt
     DESTINATION ${stage}/Quimbara FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
# The entries in a fixed order.
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip --
                        Quimbara/Quimbara.exe Quimbara/Mapa_Politico_de_Espana.jpg
                        Quimbara/LEEME.txt Quimbara/LICENCIA.txt
                WORKING_DIRECTORY ${stage} RESULT_VARIABLE status)
file(REMOVE_RECURSE ${stage})
if(NOT status EQUAL 0)
  message(FATAL_ERROR "Could not pack ${ZIP}")
endif()
