        .include "common.inc"
start:  lui   $s0, 0x8010
        install_handler

        map_400000
        mtc0  $zero, $2
        mtc0  $zero, $10
        tlbr
        mfc0  $t0, $2
        sw    $t0, 0($s0)
        mfc0  $t0, $10
        sw    $t0, 4($s0)
        tlbp
        mfc0  $t0, $0
        sw    $t0, 8($s0)

        # The routine `mapped` is copied to physical 0x00200000 and called
        # at its mapped address; it reads a word through the mapping too.
        copy_words mapped, mapped_end, 0x8020
        li    $t0, 0x1234
        lui   $t2, 0x8020
        sw    $t0, 0x800($t2)
        lui   $t9, 0x0040
        jalr  $t9
        nop
        sw    $v0, 12($s0)

        # The FPU.
        lui   $t0, 0x4000
        mtc1  $t0, $f2
        sqrt.s $f4, $f2
        swc1  $f4, 16($s0)
        li    $t0, 0x402CCCCD
        mtc1  $t0, $f6
        trunc.w.s $f8, $f6
        mfc1  $t1, $f8
        sw    $t1, 20($s0)
        neg.s $f6, $f6
        cvt.w.s $f8, $f6
        mfc1  $t1, $f8
        sw    $t1, 24($s0)
        cvt.d.s $f10, $f2
        add.d $f12, $f10, $f10
        mul.d $f14, $f12, $f12
        sub.d $f16, $f14, $f10
        div.d $f18, $f16, $f12
        cvt.w.d $f20, $f18
        mfc1  $t1, $f20
        sw    $t1, 28($s0)
        sdc1  $f18, 32($s0)
        move  $t2, $zero
        c.lt.s $f6, $f2
        bc1t  lt_yes
        nop
        b     after_lt
        nop
lt_yes: ori   $t2, $t2, 1
after_lt:
        c.eq.s $f2, $f6
        bc1tl eq_yes
        ori   $t2, $t2, 8
        ori   $t2, $t2, 2
eq_yes: sw    $t2, 40($s0)

        # Interrupts: the VI line opened in the MI, a timer 2000 counts
        # ahead, then wait until the handler has seen both.
        enable_vi_and_timer
wait:   lw    $t1, 0x44($s0)
        lw    $t2, 0x48($s0)
        beq   $t1, $zero, wait
        nop
        beq   $t2, $zero, wait
        nop
        mfc0  $t0, $12
        sw    $t0, 0x4C($s0)
        mtc0  $zero, $12
        break
        nop

mapped: lui   $t0, 0x0040
        lw    $t1, 0x800($t0)
        sll   $v0, $t1, 1
        jr    $ra
        addiu $v0, $v0, 0x11
mapped_end:

handler:
        mfc0  $k0, $13
        andi  $k1, $k0, 0x8000
        beq   $k1, $zero, not_timer
        nop
        lw    $k1, 0x44($s0)
        addiu $k1, $k1, 1
        sw    $k1, 0x44($s0)
        mtc0  $zero, $11
not_timer:
        count_mi_interrupt 0x08, 0xA440, 0, 0x48($s0)
handler_end:
