        .include "common.inc"
start:  copy_words list, list_end, 0x8020
        graphics_task_record
        lui   $s1, 0xA404
        copy_task_record_to_dmem
        li    $t0, 0x2
        sw    $t0, 0x10($s1)
        b     go
        nop
go:     li    $t0, 0x1
        sw    $t0, 0x10($s1)
idle:   b     idle
        nop
list:   .word 0xFF00013F, 0, 0xF7000000, 0x003F, 0xF65003C0, 0, 0xE9000000, 0, 0xB8000000, 0
list_end:
