        .include "common.inc"
start:  lui   $s0, 0x8010
        jal   routine
        nop
        sw    $v0, 0($s0)
        # A store through KSEG1 replaces the routine's delay slot: v0 = 2.
        lw    $t0, store_word
        la    $t1, routine
        lui   $t5, 0x2000
        or    $t1, $t1, $t5
        sw    $t0, 4($t1)
        jal   routine
        nop
        sw    $v0, 4($s0)
        # A PI DMA from the cartridge copies `replacement` over the routine.
        lui   $t2, 0xA460
        la    $t1, routine
        li    $t0, 0x1FFFFFFF
        and   $t1, $t1, $t0
        sw    $t1, 0($t2)
        li    $t0, 0x10001000 + (replacement - start)
        sw    $t0, 4($t2)
        li    $t0, 7
        sw    $t0, 12($t2)
        jal   routine
        nop
        sw    $v0, 8($s0)

        # A store into the running block: the old word runs first (5),
        # then the new one (7).
        lw    $t0, patch_word
        move  $s2, $zero
again:  la    $t1, patch
        sw    $t0, 0($t1)
patch:  addiu $v1, $zero, 5
        sll   $t3, $s2, 2
        addu  $t3, $t3, $s0
        sw    $v1, 12($t3)
        addiu $s2, $s2, 1
        slti  $t4, $s2, 2
        bne   $t4, $zero, again
        nop
finish: j     finish
        nop

        .align 12
routine:
        jr    $ra
        addiu $v0, $zero, 1
replacement:
        jr    $ra
        addiu $v0, $zero, 3
store_word:
        addiu $v0, $zero, 2
patch_word:
        addiu $v1, $zero, 7
