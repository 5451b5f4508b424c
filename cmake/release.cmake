# A release: the same description and sources give the same bytes, and the
# setup and its uninstaller may be signed. Included by res/ once the
# product's facts are read.
#
# Every time the build writes (the programs' PE header stamp, the signing
# time) is the release time: SOURCE_DATE_EPOCH when it is set, else the
# product's file stamp.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(RELEASE_TIME "$ENV{SOURCE_DATE_EPOCH}")
    if(NOT RELEASE_TIME MATCHES "^[0-9]+$" OR RELEASE_TIME GREATER 4294967295)
        message(FATAL_ERROR "SOURCE_DATE_EPOCH must be seconds since 1970 that fit 32 bits: '${RELEASE_TIME}'")
    endif()
else()
    set(RELEASE_TIME ${PRODUCT_STAMP_SECONDS})
endif()
# The linker writes SOURCE_DATE_EPOCH into the PE header in place of the time of linking.
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${RELEASE_TIME})

# Signing is on when a certificate is given: a PKCS#12 file, or a PEM
# certificate and its key. Relative paths are taken from the project's
# folder, where make runs. The password is read from the environment at
# build time, so that it is never written into the build tree.
function(signing_file variable result)
    set(${result} "" PARENT_SCOPE)
    if(NOT "$ENV{${variable}}" STREQUAL "")
        file(REAL_PATH "$ENV{${variable}}" path BASE_DIRECTORY ${PROJECT_SOURCE_DIR})
        if(NOT EXISTS "${path}" OR IS_DIRECTORY "${path}")
            message(FATAL_ERROR "${variable}: no such file: $ENV{${variable}}")
        endif()
        set(${result} "${path}" PARENT_SCOPE)
    endif()
endfunction()

signing_file(SETUPMATE_SIGN_PKCS12 sign_pkcs12)
signing_file(SETUPMATE_SIGN_CERT sign_cert)
signing_file(SETUPMATE_SIGN_KEY sign_key)
set(SIGNING_CERTIFICATE)
if(sign_pkcs12 AND (sign_cert OR sign_key))
    message(FATAL_ERROR "Give either SETUPMATE_SIGN_PKCS12 or SETUPMATE_SIGN_CERT and SETUPMATE_SIGN_KEY, not both")
elseif(sign_pkcs12)
    set(SIGNING_CERTIFICATE -pkcs12 ${sign_pkcs12})
elseif(sign_cert AND sign_key)
    set(SIGNING_CERTIFICATE -certs ${sign_cert} -key ${sign_key})
elseif(sign_cert OR sign_key)
    message(FATAL_ERROR "SETUPMATE_SIGN_CERT and SETUPMATE_SIGN_KEY go together: give both or neither")
endif()
if(SIGNING_CERTIFICATE)
    find_program(OSSLSIGNCODE osslsigncode REQUIRED)
    set(SIGNING_TIMESTAMP_URL "$ENV{SETUPMATE_SIGN_TIMESTAMP_URL}")
    message(STATUS "Signing the setup and the uninstaller with ${sign_pkcs12}${sign_cert}")
endif()

# Signs a program in place once it is linked, so that whatever takes it next
# (the payload's packing, a copy) takes it signed; the description is the
# name the elevation prompt shows.
function(sign_after_link target description)
    if(SIGNING_CERTIFICATE)
        add_custom_command(TARGET ${target} POST_BUILD
            COMMAND ${PROJECT_SOURCE_DIR}/tools/sign.sh $<TARGET_FILE:${target}> "${description}" ${RELEASE_TIME}
                "${SIGNING_TIMESTAMP_URL}" ${SIGNING_CERTIFICATE}
            COMMENT "Signing ${target}"
            VERBATIM)
    endif()
endfunction()
