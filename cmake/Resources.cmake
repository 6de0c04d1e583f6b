# glintcap_embed_resource(TARGET TYPE ID FILE) links FILE into TARGET (an executable) as the resource
# TYPE/ID found with platform::FindResource. The bytes are pulled in by the assembler's .incbin, and
# the object depends on FILE so a changed file rebuilds.
function(glintcap_embed_resource target type id file)
  set(sym "glintcap_res_${type}_${id}")
  string(MAKE_C_IDENTIFIER "${sym}" sym)
  set(dir "${CMAKE_CURRENT_BINARY_DIR}/resources/${target}")
  set(asm "${dir}/${sym}.S")
  set(reg "${dir}/${sym}.cpp")
  file(MAKE_DIRECTORY "${dir}")
  file(WRITE "${asm}.in"
"    .section .rodata.${sym},\"a\",@progbits
    .balign 16
    .global ${sym}_begin
    .global ${sym}_end
${sym}_begin:
    .incbin \"${file}\"
${sym}_end:
    .byte 0
    .section .note.GNU-stack,\"\",@progbits
")
  file(WRITE "${reg}.in"
"#include <cstdint>
#include <platform/resources.h>
extern \"C\" const std::uint8_t ${sym}_begin[];
extern \"C\" const std::uint8_t ${sym}_end[];
static const platform::ResourceRegistration registration(\"${type}\", ${id}, ${sym}_begin, ${sym}_end);
")
  configure_file("${asm}.in" "${asm}" COPYONLY)
  configure_file("${reg}.in" "${reg}" COPYONLY)
  set_source_files_properties("${asm}" PROPERTIES OBJECT_DEPENDS "${file}")
  target_sources(${target} PRIVATE "${asm}" "${reg}")
endfunction()
