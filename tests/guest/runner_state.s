        .include "common.inc"
start:  lui   $s0, 0x8010
        lui   $s2, 0x8018
        install_handler

        map_400000
        copy_words mapped, mapped_end, 0x8020

        # The frame: 16-bit pixels, 320 wide, at 0x00100000.
        lui   $t1, 0xA440
        li    $t0, 2
        sw    $t0, 0($t1)
        lui   $t0, 0x0010
        sw    $t0, 4($t1)
        li    $t0, 320
        sw    $t0, 8($t1)

        enable_vi_and_timer

        lui   $t0, 0x3F80
        mtc1  $t0, $f2
        mtc1  $t0, $f8
        lui   $t0, 0x3F81
        mtc1  $t0, $f4
        lui   $t0, 0x447A
        mtc1  $t0, $f6
        move  $s1, $zero
        li    $s3, 76800
loop:   mul.s $f2, $f2, $f4
        c.lt.s $f6, $f2
        bc1tl wrap
        mov.s $f2, $f8
wrap:   trunc.w.s $f10, $f2
        mfc1  $a0, $f10
        lui   $t9, 0x0040
        jalr  $t9
        nop
        lw    $t1, 0($s2)
        lw    $t2, 4($s2)
        sll   $t1, $t1, 5
        sll   $t2, $t2, 10
        xor   $v0, $v0, $t1
        xor   $v0, $v0, $t2
        sll   $t3, $s1, 1
        addu  $t3, $t3, $s0
        sh    $v0, 0($t3)
        addiu $s1, $s1, 1
        bne   $s1, $s3, loop
        nop
        b     loop
        move  $s1, $zero

mapped: lui   $t0, 0x0040
        lw    $t1, 0x800($t0)
        addiu $t1, $t1, 3
        sw    $t1, 0x800($t0)
        jr    $ra
        addu  $v0, $t1, $a0
mapped_end:

handler:
        mfc0  $k0, $13
        andi  $k1, $k0, 0x8000
        beq   $k1, $zero, not_timer
        nop
        lw    $k1, 0($s2)
        addiu $k1, $k1, 1
        sw    $k1, 0($s2)
        mfc0  $k1, $9
        addiu $k1, $k1, 30000
        mtc0  $k1, $11
not_timer:
        count_mi_interrupt 0x08, 0xA440, 0, 4($s2)
handler_end:
