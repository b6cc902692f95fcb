        .include "common.inc"
start:  lui   $s0, 0x8020             # results
        jal   __osDisableInt
        addiu $t0, $zero, 7           # the delay slot runs before the routine
        sw    $v0, 0($s0)
        sw    $t0, 4($s0)
        jal   __osDisableInt
        nop
        sw    $v0, 8($s0)
        lw    $a0, 0($s0)
        jal   __osRestoreInt
        nop
        jal   sqrtf
        nop
after_sqrtf:
        sw    $ra, 12($s0)
        lui   $t9, %hi(sqrtf)
        addiu $t9, $t9, %lo(sqrtf)
        jalr  $t9                     # an indirect call always runs guest code
        nop
        jal   addOne                  # named in the symbol file, not replaced
        nop
        addiu $a0, $zero, 1           # 0x1_00000003 * 5
        addiu $a1, $zero, 3
        addiu $a2, $zero, 0
        jal   __ll_mul
        addiu $a3, $zero, 5
        sw    $v0, 32($s0)            # used at once, in the same block
        sw    $v1, 36($s0)
        addiu $a0, $zero, 0           # 7 / 0
        addiu $a1, $zero, 7
        addiu $a2, $zero, 0
        jal   __ull_div
        addiu $a3, $zero, 0
        sw    $v0, 40($s0)
        sw    $v1, 44($s0)
        mfhi  $t0
        sw    $t0, 48($s0)
stop:   break
        nop

__osDisableInt:                       # counts its calls, answers 0xD1
        lw    $t1, 16($s0)
        addiu $t1, $t1, 1
        sw    $t1, 16($s0)
        jr    $ra
        addiu $v0, $zero, 0xD1
__osRestoreInt:
        lw    $t1, 20($s0)
        addiu $t1, $t1, 1
        jr    $ra
        sw    $t1, 20($s0)
sqrtf:
        lw    $t1, 24($s0)
        addiu $t1, $t1, 1
        jr    $ra
        sw    $t1, 24($s0)
addOne:
        lw    $t1, 28($s0)
        addiu $t1, $t1, 1
        jr    $ra
        sw    $t1, 28($s0)
__ll_mul:
        lw    $t1, 52($s0)
        addiu $t1, $t1, 1
        sw    $t1, 52($s0)
        addiu $v1, $zero, 0xD1
        jr    $ra
        addiu $v0, $zero, 0xD1
__ull_div:
        lw    $t1, 56($s0)
        addiu $t1, $t1, 1
        sw    $t1, 56($s0)
        addiu $v1, $zero, 0xD1
        jr    $ra
        addiu $v0, $zero, 0xD1
bodies_end:
