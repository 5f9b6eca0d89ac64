# The upgrade check's build settings. An address is taken only over HTTPS and only with the
# key that signs what it publishes, so the program never runs anything that came unencrypted
# or unsigned. Run alone, `cmake -DSERWIS_UPDATE_URL=... -DSERWIS_UPDATE_PUBLIC_KEY=... -P`
# this file, it checks the given values and nothing else.
function(serwis_check_update_settings url key)
    if(url STREQUAL "")
        return()
    endif()
    if(NOT url MATCHES "^https://")
        message(FATAL_ERROR "SERWIS_UPDATE_URL must start with https:// (given: \"${url}\"): "
                            "the new version is downloaded only over HTTPS")
    endif()
    if(NOT key MATCHES "^[0-9a-fA-F]+$")
        message(FATAL_ERROR "SERWIS_UPDATE_URL needs SERWIS_UPDATE_PUBLIC_KEY (64 hex digits)")
    endif()
    string(LENGTH "${key}" key_length)
    if(NOT key_length EQUAL 64)
        message(FATAL_ERROR "SERWIS_UPDATE_PUBLIC_KEY must have 64 hex digits")
    endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
    serwis_check_update_settings("${SERWIS_UPDATE_URL}" "${SERWIS_UPDATE_PUBLIC_KEY}")
endif()
