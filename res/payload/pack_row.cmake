# Packs one payload file, fails unless the stream decodes back to the file
# byte for byte, and records the row's sizes and checksums for the payload table.
# cmake -DLZHUF=... -DSOURCE=... -DPACKED=... -DRESOURCE=... -P pack_row.cmake
# The CRC-32 of a file, as the lzhuf tool prints it (0x and eight hex digits).
function(checksum path result)
    execute_process(COMMAND "${LZHUF}" crc32 "${path}" OUTPUT_VARIABLE crc OUTPUT_STRIP_TRAILING_WHITESPACE
        RESULT_VARIABLE summing)
    if(NOT summing EQUAL 0)
        file(REMOVE "${PACKED}" "${PACKED}.sizes")
        message(FATAL_ERROR "${RESOURCE}: cannot compute the checksum of ${path}")
    endif()
    set(${result} ${crc} PARENT_SCOPE)
endfunction()

file(SIZE "${SOURCE}" unpacked)
set(check "${PACKED}.check")
execute_process(COMMAND "${LZHUF}" pack "${SOURCE}" "${PACKED}" RESULT_VARIABLE packing OUTPUT_QUIET)
if(packing EQUAL 0)
    execute_process(COMMAND "${LZHUF}" unpack "${PACKED}" "${check}" ${unpacked} RESULT_VARIABLE unpacking)
    execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${SOURCE}" "${check}" RESULT_VARIABLE differs)
    file(REMOVE "${check}")
endif()
if(NOT packing EQUAL 0 OR NOT unpacking EQUAL 0 OR NOT differs EQUAL 0)
    file(REMOVE "${PACKED}" "${PACKED}.sizes")
    message(FATAL_ERROR "${RESOURCE}: the packed stream of ${SOURCE} does not decode to the file")
endif()
file(SIZE "${PACKED}" packed)
checksum("${SOURCE}" unpacked_crc)
checksum("${PACKED}" packed_crc)
file(WRITE "${PACKED}.sizes" "#define ${RESOURCE}_SIZES ${unpacked}u, ${packed}u, ${unpacked_crc}u, ${packed_crc}u\n")
