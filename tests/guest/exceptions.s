        .include "common.inc"
start:  lui   $s0, 0x8010
        move  $s1, $zero
        install_handler

site_syscall:
        syscall
site_break:
        break
        li    $t0, 5
site_teq:
        teq   $t0, $t0
        tne   $t0, $t0
        tgei  $t0, 6
site_tlti:
        tlti  $t0, 6
        li    $t1, 0x7FFFFFFF
        li    $t2, 0x1234
        li    $t3, 0x77
        li    $t5, 0x55
site_add:
        add   $t2, $t1, $t1
        sw    $t2, 0x100($s0)
site_addi:
        addi  $t3, $t1, 1
        addu  $t4, $t1, $t1
site_sub:
        sub   $t5, $t1, $t4
        sub   $t6, $zero, $t1
site_branch:
        beq   $zero, $zero, after
        syscall
after:  sw    $s1, 0x104($s0)
finish: j     finish
        nop

handler:
        mfc0  $k0, $14
        mfc0  $k1, $13
        addu  $t9, $s0, $s1
        sw    $k0, 0($t9)
        sw    $k1, 4($t9)
        addiu $s1, $s1, 8
        bltz  $k1, in_slot
        addiu $k0, $k0, 4
        mtc0  $k0, $14
        eret
in_slot:
        addiu $k0, $k0, 4
        mtc0  $k0, $14
        eret
handler_end:
