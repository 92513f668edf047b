# Copies each default data file into TARGET only when it is absent there,
# so a rebuild never overwrites the user's lists or settings.  The FTP
# settings are made owner-only: a password is added to them by hand.
file(GLOB_RECURSE defaults RELATIVE ${SOURCE} ${SOURCE}/*)
foreach(rel IN LISTS defaults)
    if(NOT EXISTS ${TARGET}/${rel})
        get_filename_component(dir ${TARGET}/${rel} DIRECTORY)
        file(MAKE_DIRECTORY ${dir})
        file(COPY_FILE ${SOURCE}/${rel} ${TARGET}/${rel})
        if(rel MATCHES "FTPSetting\\.dat$")
            file(CHMOD ${TARGET}/${rel} PERMISSIONS OWNER_READ OWNER_WRITE)
        endif()
    endif()
endforeach()
file(MAKE_DIRECTORY ${TARGET}/logs)
