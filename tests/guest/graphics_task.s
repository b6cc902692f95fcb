        .include "common.inc"
start:  lui   $s0, 0x8010
        install_handler

        # The task record at 0x80180000: a graphics task, its list at 0x200000.
        graphics_task_record
        li    $t1, 40
        sw    $t1, 0x34($t0)

        # The SP line opened in the MI, interrupts enabled (IP2), the
        # processor halted.
        lui   $t1, 0xA430
        li    $t0, 0x2
        sw    $t0, 0x0C($t1)
        li    $t0, 0x0401
        mtc0  $t0, $12
        lui   $s1, 0xA404
        li    $t0, 0x2
        sw    $t0, 0x10($s1)
        b     frame
        nop

        # One task: the record copied to the end of DMEM, the halt released
        # with interrupt-on-break, then wait for the handler.
frame:  copy_task_record_to_dmem
        li    $t0, 0x101
        sw    $t0, 0x10($s1)
        lw    $t2, 0x44($s0)
        addiu $t2, $t2, 1
wait:   lw    $t1, 0x44($s0)
        bne   $t1, $t2, wait
        nop
        # After the first frame the fill colour turns green for the second.
        li    $t0, 2
        beq   $t1, $t0, finish
        nop
        lui   $t0, 0x8020
        li    $t1, 0x07C1
        sw    $t1, 12($t0)
        b     frame
        nop
finish: mtc0  $zero, $12
        break
        nop

handler:
        mfc0  $k0, $13
        count_mi_interrupt 0x01, 0xA404, 0x8, 0x44($s0)
handler_end:
