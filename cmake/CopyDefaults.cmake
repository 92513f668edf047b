# Copies each default data file into TARGET only when it is absent there,
# so a rebuild never overwrites the user's lists or settings.
file(GLOB_RECURSE defaults RELATIVE ${SOURCE} ${SOURCE}/*)
foreach(rel IN LISTS defaults)
    if(NOT EXISTS ${TARGET}/${rel})
        get_filename_component(dir ${TARGET}/${rel} DIRECTORY)
        file(MAKE_DIRECTORY ${dir})
        file(COPY_FILE ${SOURCE}/${rel} ${TARGET}/${rel})
    endif()
endforeach()
file(MAKE_DIRECTORY ${TARGET}/logs)
