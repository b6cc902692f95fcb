# Guest programs: MIPS assembly assembled with GNU binutils for MIPS and
# wrapped into ROM images by romkit.
find_program(MIPS_AS mips-linux-gnu-as REQUIRED)
find_program(MIPS_LD mips-linux-gnu-ld REQUIRED)
find_program(MIPS_OBJCOPY mips-linux-gnu-objcopy REQUIRED)

# orvex_guest_binary(OUT_BIN SOURCE LINKER_SCRIPT): flat big-endian binary.
function(orvex_guest_binary out_bin source linker_script)
  get_filename_component(base ${out_bin} NAME_WE)
  get_filename_component(dir ${out_bin} DIRECTORY)
  add_custom_command(
    OUTPUT ${out_bin}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND ${MIPS_AS} -march=vr4300 -EB -o ${dir}/${base}.o ${source}
    COMMAND ${MIPS_LD} -EB -T ${linker_script} -o ${dir}/${base}.elf ${dir}/${base}.o
    COMMAND ${MIPS_OBJCOPY} -O binary -j .text ${dir}/${base}.elf ${out_bin}
    DEPENDS ${source} ${linker_script}
    COMMENT "Assembling guest program ${base}"
    VERBATIM)
endfunction()
