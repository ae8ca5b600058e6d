# cmake -DSOURCE=<file> -DTARGET=<file> -P CopyIfMissing.cmake
# Copies SOURCE to TARGET unless TARGET exists; an existing database holds
# data and is never replaced.
if(EXISTS "${TARGET}")
  return()
endif()
get_filename_component(dir "${TARGET}" DIRECTORY)
file(MAKE_DIRECTORY "${dir}")
file(COPY_FILE "${SOURCE}" "${TARGET}")
file(CHMOD "${TARGET}" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ GROUP_WRITE)
message(STATUS "Installed database: ${TARGET}")
