# Embeds the files named by the resource script into a native (non-Windows) binary, so
# the headless backend finds resources by type and name exactly as Windows does.
# Each line of the script of the form  NAME TYPE "file"  becomes one entry; the
# manifest (type 24) only means something to Windows and is left out.
function(sablewick_embed_resources rc_file out_var)
    get_filename_component(rc_dir "${rc_file}" DIRECTORY)
    file(STRINGS "${rc_file}" rc_lines)
    set(asm "${CMAKE_CURRENT_BINARY_DIR}/embedded_resources.S")
    set(table "${CMAKE_CURRENT_BINARY_DIR}/embedded_resources.cpp")
    # WebAssembly objects keep each datum in a section of its own, with its size; ELF
    # ones take them one after another in .rodata.
    if(EMSCRIPTEN)
        set(asm_text "")
    else()
        set(asm_text "    .section .rodata\n")
    endif()
    set(decls "")
    set(entries "")
    set(deps "")
    set(index 0)
    foreach(line IN LISTS rc_lines)
        if(line MATCHES "^([A-Za-z0-9_]+)[ \t]+([A-Za-z0-9_]+)[ \t]+\"([^\"]+)\"")
            # Names are found without regard to case; the module keeps them in upper case.
            string(TOUPPER "${CMAKE_MATCH_1}" name)
            set(type "${CMAKE_MATCH_2}")
            set(file "${rc_dir}/${CMAKE_MATCH_3}")
            if(type STREQUAL "24")
                continue()
            endif()
            if(EMSCRIPTEN)
                # A section's place is the linker's choice: the end is the start plus the
                # file's size, read now (the files are configure dependencies here).
                file(SIZE "${file}" size)
                math(EXPR padded "${size} + 1")
                string(APPEND asm_text "    .section .rodata.sw_res_${index},\"\",@\n    .p2align 4\n    .globl sw_res_${index}\nsw_res_${index}:\n    .incbin \"${file}\"\n    .byte 0\n    .size sw_res_${index}, ${padded}\n")
                string(APPEND decls "extern const unsigned char sw_res_${index}[];\n")
                string(APPEND entries "    {\"${type}\", \"${name}\", sw_res_${index}, sw_res_${index} + ${size}},\n")
                set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${file}")
            else()
                string(APPEND asm_text "    .balign 16\n    .global sw_res_${index}\nsw_res_${index}:\n    .incbin \"${file}\"\n    .global sw_res_${index}_end\nsw_res_${index}_end:\n    .byte 0\n")
                string(APPEND decls "extern const unsigned char sw_res_${index}[];\nextern const unsigned char sw_res_${index}_end[];\n")
                string(APPEND entries "    {\"${type}\", \"${name}\", sw_res_${index}, sw_res_${index}_end},\n")
            endif()
            list(APPEND deps "${file}")
            math(EXPR index "${index} + 1")
        endif()
    endforeach()
    if(NOT EMSCRIPTEN)
        string(APPEND asm_text "    .section .note.GNU-stack,\"\",@progbits\n")
    endif()
    file(GENERATE OUTPUT "${asm}" CONTENT "${asm_text}")
    file(GENERATE OUTPUT "${table}" CONTENT
"// Generated from the resource script by cmake/EmbedResources.cmake.
#include \"platform/posix/EmbeddedResources.h\"
extern \"C\" {
${decls}}
const TEmbeddedResource kEmbeddedResources[] = {
${entries}};
const int kEmbeddedResourceCount = ${index};
")
    set_source_files_properties("${asm}" PROPERTIES OBJECT_DEPENDS "${deps};${rc_file}")
    set(${out_var} "${asm}" "${table}" PARENT_SCOPE)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${rc_file}")
endfunction()
