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

# The guest's own bodies of the routines: each counts its calls in the
# word at `slot`($s0); some answer 0xD1 in v0 (and v1).
.macro counted slot
        lw    $t1, \slot($s0)
        addiu $t1, $t1, 1
        jr    $ra
        sw    $t1, \slot($s0)
.endm
.macro counted_answer slot, pair=0
        lw    $t1, \slot($s0)
        addiu $t1, $t1, 1
        sw    $t1, \slot($s0)
        .if \pair
        addiu $v1, $zero, 0xD1
        .endif
        jr    $ra
        addiu $v0, $zero, 0xD1
.endm
__osDisableInt: counted_answer 16
__osRestoreInt: counted 20
sqrtf:  counted 24
addOne: counted 28
__ll_mul: counted_answer 52, 1
__ull_div: counted_answer 56, 1
bodies_end:
