        .include "common.inc"
start:  copy_words list, list_end, 0x8020
        lui   $t0, 0x8018
        li    $t1, 1
        sw    $t1, 0x00($t0)
        lui   $t1, 0x0020
        sw    $t1, 0x30($t0)
        lui   $s1, 0xA404
        li    $t0, 0xFC0
        sw    $t0, 0x00($s1)
        lui   $t0, 0x0018
        sw    $t0, 0x04($s1)
        li    $t0, 63
        sw    $t0, 0x08($s1)
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
