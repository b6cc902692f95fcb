        .include "common.inc"
start:  lui   $s0, 0x8020             # results
        lui   $s1, 0xA480             # SI registers
        lui   $s2, 0x8010             # PIF command block

        # Channel 0 reads buttons and stick, channel 1 ends the list; the
        # control byte asks for the commands to run.
        li    $t0, 0xFF010401
        sw    $t0, 0($s2)
        addiu $t0, $zero, -1
        sw    $t0, 4($s2)
        lui   $t0, 0xFE00
        sw    $t0, 8($s2)
        addiu $t0, $zero, 1
        sw    $t0, 60($s2)
        addiu $s3, $zero, 2           # two polls
        li    $s4, 0x00200100         # answers go to 0x200100, 0x200140
read_pad:
        lui   $t0, 0x0010
        sw    $t0, 0($s1)             # SI_DRAM_ADDR_REG: the command block
        li    $t1, 0x1FC007C0
        sw    $t1, 0x10($s1)          # SI_PIF_ADDR_WR64B_REG: to PIF RAM
        beq   $zero, $zero, 1f        # the transfer runs when the block ends
        nop
1:      sw    $s4, 0($s1)             # SI_DRAM_ADDR_REG: the answer area
        sw    $t1, 4($s1)             # SI_PIF_ADDR_RD64B_REG: from PIF RAM
        addiu $s4, $s4, 0x40
        addiu $s3, $s3, -1
        bne   $s3, $zero, read_pad
        nop

        # Four words from RDRAM 0x110000 into DMEM 0x100.
        lui   $t0, 0x8011
        store_words $t0, 0x11223344, 0x55667788, 0x99AABBCC, 0xDDEEFF00
        lui   $t3, 0xA404             # SP registers
        addiu $t1, $zero, 0x100
        sw    $t1, 0($t3)             # SP_MEM_ADDR_REG
        lui   $t1, 0x0011
        sw    $t1, 4($t3)             # SP_DRAM_ADDR_REG
        addiu $t1, $zero, 15
        sw    $t1, 8($t3)             # SP_RD_LEN_REG: 16 bytes
        beq   $zero, $zero, 1f
        nop
1:      lui   $t3, 0xA400
        lw    $t1, 0x10C($t3)         # the last word, read back from DMEM
        sw    $t1, 0x20($s0)

        # 32 bytes from the image's last 8 bytes on, over a patterned area.
        lui   $t0, 0x8012
        li    $t1, 0xAAAAAAAA
        addiu $t2, $zero, 12
2:      sw    $t1, 0($t0)
        addiu $t2, $t2, -1
        bne   $t2, $zero, 2b
        addiu $t0, $t0, 4
        lui   $t3, 0xA460             # PI registers
        lui   $t1, 0x0012
        sw    $t1, 0($t3)             # PI_DRAM_ADDR_REG
        li    $t1, 0x1000FFF8
        sw    $t1, 4($t3)             # PI_CART_ADDR_REG
        addiu $t1, $zero, 31
        sw    $t1, 0xC($t3)           # PI_WR_LEN_REG: 32 bytes
        beq   $zero, $zero, 1f
        nop

        # Audio: 16 bytes at 0x130000, then 8 bytes at 0x130010.
1:      lui   $t0, 0x8013
        store_words $t0, 0x1234ABCD, 0x0102FFFE, 0x7FFF8000, 0x00010002, 0x11112222, 0x33334444
        lui   $t3, 0xA450             # AI registers
        addiu $t1, $zero, 2207
        sw    $t1, 0x10($t3)          # AI_DACRATE_REG
        addiu $t1, $zero, 15
        sw    $t1, 0x14($t3)          # AI_BITRATE_REG: 16 bits
        lui   $t1, 0x0013
        sw    $t1, 0($t3)             # AI_DRAM_ADDR_REG
        addiu $t1, $zero, 15
        sw    $t1, 4($t3)             # AI_LEN_REG: plays at once
        beq   $zero, $zero, 1f
        nop
1:      li    $t1, 0x00130010
        sw    $t1, 0($t3)
        addiu $t1, $zero, 7
        sw    $t1, 4($t3)             # waits for the first
        beq   $zero, $zero, 1f
        nop
1:      lw    $t1, 0xC($t3)
        sw    $t1, 0x30($s0)          # AI_STATUS_REG with both queued
        lui   $t4, 0xA430             # MI registers
        lw    $t1, 8($t4)
        sw    $t1, 0x34($s0)          # MI_INTR_REG before the first ends
wait_audio:
        lw    $t1, 8($t4)
        andi  $t1, $t1, 4             # the AI interrupt
        beq   $t1, $zero, wait_audio
        nop
        lw    $t1, 0xC($t3)
        sw    $t1, 0x38($s0)          # AI_STATUS_REG after it
        lw    $t1, 4($t3)
        sw    $t1, 0x3C($s0)          # AI_LEN_REG after it
stop:   break
        nop

        .org 0xEFF8
        .word 0x600DF00D, 0x0DDBA115
