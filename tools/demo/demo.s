# Orvex demo ROM: an animated picture drawn by the CPU into a 320 x 240 16-bit
# frame buffer, a tone computed with the FPU and played through AI double
# buffering, a sprite moved by controller 1's d-pad, and an exception handler
# that serves the VI, AI and timer interrupts and returns with ERET.
# Assembled with GNU as (-march=vr4300 -EB); only plain instructions, no macros
# that could expand into 64-bit forms.

        .set noreorder
        .set noat
        .text
        .globl start

        .equ FB_BASE,     0xA0100000      # frame buffer, uncached
        .equ FB_PHYS,     0x00100000
        .equ AUDIO0_PHYS, 0x00200000      # two audio buffers of 8192 bytes
        .equ AUDIO1_PHYS, 0x00202000
        .equ AUDIO_BYTES, 8192
        .equ PIF_BLOCK,   0x80300000      # PIF command block and its answer
        .equ PIF_ANSWER,  0x80300040
        .equ BAND_TOP,    200             # first row of the animated band
        .equ SPRITE_MINY, 48
        .equ SPRITE_MAXY, 176
        .equ SPRITE_MAXX, 304

start:
        # Exception vector: "j handler; nop" at 0x80000180.
        lui     $t0, 0x8000
        lui     $t1, %hi(handler)
        addiu   $t1, $t1, %lo(handler)
        srl     $t1, $t1, 2
        lui     $t2, 0x03FF
        ori     $t2, $t2, 0xFFFF
        and     $t1, $t1, $t2
        lui     $t2, 0x0800
        or      $t1, $t1, $t2
        sw      $t1, 0x180($t0)
        sw      $zero, 0x184($t0)

        # Video: 16-bit pixels, origin and width (the width store sets the mode).
        lui     $t0, 0xA440
        ori     $t1, $zero, 0x320E
        sw      $t1, 0x00($t0)            # VI_STATUS_REG
        lui     $t1, 0x0010
        sw      $t1, 0x04($t0)            # VI_ORIGIN_REG
        ori     $t1, $zero, 320
        sw      $t1, 0x08($t0)            # VI_WIDTH_REG
        ori     $t1, $zero, 525
        sw      $t1, 0x18($t0)            # VI_V_SYNC_REG

        jal     draw_background
        nop
        jal     draw_title
        nop
        jal     make_palette
        nop
        jal     make_tone
        nop
        jal     make_pif_block
        nop

        # Audio: 22050 Hz, 16-bit; queue both buffers (each queue in its own block).
        lui     $t0, 0xA450
        ori     $t1, $zero, 2206
        sw      $t1, 0x10($t0)            # AI_DACRATE_REG
        ori     $t1, $zero, 15
        sw      $t1, 0x14($t0)            # AI_BITRATE_REG
        ori     $t1, $zero, 1
        sw      $t1, 0x08($t0)            # AI_CONTROL_REG
        lui     $t1, 0x0020
        sw      $t1, 0x00($t0)            # AI_DRAM_ADDR_REG = buffer 0
        ori     $t1, $zero, AUDIO_BYTES - 1
        sw      $t1, 0x04($t0)            # AI_LEN_REG
        beq     $zero, $zero, 1f
        nop
1:      lui     $t1, 0x0020
        ori     $t1, $t1, 0x2000
        sw      $t1, 0x00($t0)            # buffer 1
        ori     $t1, $zero, AUDIO_BYTES - 1
        sw      $t1, 0x04($t0)
        beq     $zero, $zero, 2f
        nop
2:
        # Interrupts: VI and AI through the MI, the timer through IM7.
        lui     $t0, 0xA430
        ori     $t1, $zero, 0x00A0        # set VI and AI mask bits
        sw      $t1, 0x0C($t0)            # MI_INTR_MASK_REG
        mfc0    $t1, $12
        ori     $t1, $t1, 0x8401          # IE, IM2, IM7
        mtc0    $t1, $12

        # Sprite state.
        ori     $s1, $zero, 152           # x
        ori     $s2, $zero, 104           # y
        or      $s4, $s1, $zero           # previous x
        or      $s5, $s2, $zero           # previous y
        lui     $t0, %hi(frame_count)
        lw      $s3, %lo(frame_count)($t0)

main_loop:
        lui     $t0, %hi(frame_count)
        lw      $t1, %lo(frame_count)($t0)
        bne     $t1, $s3, new_frame
        nop
idle:   j       idle                      # woken by an interrupt: the handler
        nop                               # resumes after this loop
        beq     $zero, $zero, main_loop
        nop

new_frame:
        or      $s3, $t1, $zero
        jal     draw_band
        nop
        jal     read_pad
        nop
        jal     move_sprite
        nop
        beq     $zero, $zero, main_loop
        nop

# ---------------------------------------------------------------------------
# Background: a vertical gradient, row colour bg(y) in every pixel.
# bg(y) = (y>>3)<<11 | 8<<6 | (31-(y>>3))<<1 | 1
bg_colour:                                # a0 = y -> v0 = colour word (two pixels)
        srl     $v0, $a0, 3
        ori     $v1, $zero, 31
        subu    $v1, $v1, $v0
        sll     $v0, $v0, 11
        sll     $v1, $v1, 1
        or      $v0, $v0, $v1
        ori     $v0, $v0, 0x0201          # green 8 and alpha
        sll     $v1, $v0, 16
        jr      $ra
        or      $v0, $v0, $v1

draw_background:
        or      $s6, $ra, $zero
        lui     $t4, 0xA010               # row pointer
        or      $a0, $zero, $zero         # y
3:      jal     bg_colour
        nop
        addiu   $t5, $t4, 640             # row end
4:      sw      $v0, 0($t4)
        addiu   $t4, $t4, 4
        bne     $t4, $t5, 4b
        nop
        addiu   $a0, $a0, 1
        ori     $t6, $zero, 240
        bne     $a0, $t6, 3b
        nop
        jr      $s6
        nop

# Title "ORVEX DEMO" in white, 8x8 glyphs doubled, at (80, 16).
draw_title:
        lui     $t0, %hi(title_glyphs)
        addiu   $t0, $t0, %lo(title_glyphs)
        lui     $t1, 0xA010
        ori     $t2, $zero, 16 * 640 + 80 * 2
        addu    $t1, $t1, $t2             # top-left of the first glyph
        ori     $t9, $zero, 0xFFFF        # white
        ori     $t2, $zero, 10            # glyphs left
5:      ori     $t3, $zero, 8             # rows left
        or      $t4, $t1, $zero           # row pointer
6:      lbu     $t5, 0($t0)               # glyph row bits
        addiu   $t0, $t0, 1
        ori     $t6, $zero, 0x80          # bit mask
        or      $t7, $t4, $zero           # pixel pointer
7:      and     $t8, $t5, $t6
        beq     $t8, $zero, 8f
        nop
        sh      $t9, 0($t7)
        sh      $t9, 2($t7)
        sh      $t9, 640($t7)
        sh      $t9, 642($t7)
8:      addiu   $t7, $t7, 4
        srl     $t6, $t6, 1
        bne     $t6, $zero, 7b
        nop
        addiu   $t4, $t4, 1280            # two rows down
        addiu   $t3, $t3, -1
        bne     $t3, $zero, 6b
        nop
        addiu   $t1, $t1, 32              # next glyph, 16 pixels right
        addiu   $t2, $t2, -1
        bne     $t2, $zero, 5b
        nop
        jr      $ra
        nop

# Palette of 64 colours cycling through the hues: tri(i), tri(i+21), tri(i+42).
make_palette:
        lui     $t0, %hi(palette)
        addiu   $t0, $t0, %lo(palette)
        or      $t1, $zero, $zero         # i
9:      andi    $a0, $t1, 63
        or      $a1, $ra, $zero
        jal     tri
        nop
        sll     $t2, $v0, 11              # red
        addiu   $a0, $t1, 21
        jal     tri
        nop
        sll     $v0, $v0, 6
        or      $t2, $t2, $v0             # green
        addiu   $a0, $t1, 42
        jal     tri
        nop
        sll     $v0, $v0, 1
        or      $t2, $t2, $v0             # blue
        ori     $t2, $t2, 1
        sh      $t2, 0($t0)
        addiu   $t0, $t0, 2
        or      $ra, $a1, $zero
        addiu   $t1, $t1, 1
        ori     $t3, $zero, 64
        bne     $t1, $t3, 9b
        nop
        jr      $ra
        nop

tri:                                      # a0 -> v0 = triangle wave 0..31
        andi    $a0, $a0, 63
        slti    $v0, $a0, 32
        bne     $v0, $zero, 10f
        or      $v0, $a0, $zero
        ori     $v0, $zero, 63
        subu    $v0, $v0, $a0
10:     jr      $ra
        nop

# Tone: a sine table of 64 steps computed by rotating a unit vector with the
# FPU, then both audio buffers filled with 2048 stereo frames of it.
make_tone:
        lui     $t0, %hi(fconst)
        addiu   $t0, $t0, %lo(fconst)
        lwc1    $f0, 0($t0)               # x = 1.0
        mtc1    $zero, $f2                # y = 0.0
        lwc1    $f4, 4($t0)               # cos(step)
        lwc1    $f6, 8($t0)               # sin(step)
        lwc1    $f8, 12($t0)              # amplitude
        lui     $t1, %hi(sine)
        addiu   $t1, $t1, %lo(sine)
        ori     $t2, $zero, 64
11:     mul.s   $f10, $f2, $f8
        trunc.w.s $f12, $f10
        mfc1    $t3, $f12
        sh      $t3, 0($t1)
        addiu   $t1, $t1, 2
        mul.s   $f14, $f0, $f4
        mul.s   $f16, $f2, $f6
        sub.s   $f18, $f14, $f16          # x' = x cos - y sin
        mul.s   $f14, $f0, $f6
        mul.s   $f16, $f2, $f4
        add.s   $f2, $f14, $f16           # y' = x sin + y cos
        mov.s   $f0, $f18
        addiu   $t2, $t2, -1
        bne     $t2, $zero, 11b
        nop
        # Fill: frame i = sine[i & 63] in both channels.
        lui     $t0, 0x8020               # buffer 0, then buffer 1 right after it
        or      $t4, $zero, $zero         # i
        ori     $t5, $zero, 4096          # frames in both buffers
12:     andi    $t6, $t4, 63
        sll     $t6, $t6, 1
        lui     $t1, %hi(sine)
        addiu   $t1, $t1, %lo(sine)
        addu    $t6, $t6, $t1
        lhu     $t7, 0($t6)
        sll     $t8, $t7, 16
        or      $t8, $t8, $t7
        sw      $t8, 0($t0)
        addiu   $t0, $t0, 4
        addiu   $t4, $t4, 1
        bne     $t4, $t5, 12b
        nop
        jr      $ra
        nop

# PIF block: channel 0 reads its buttons (4 answer bytes), then the end mark.
make_pif_block:
        lui     $t0, 0x8030
        lui     $t1, 0xFF01
        ori     $t1, $t1, 0x0401
        sw      $t1, 0x00($t0)
        addiu   $t1, $zero, -1
        sw      $t1, 0x04($t0)
        lui     $t1, 0xFE00
        sw      $t1, 0x08($t0)
        addiu   $t2, $t0, 0x0C
        addiu   $t3, $t0, 0x3C
13:     sw      $zero, 0($t2)
        addiu   $t2, $t2, 4
        bne     $t2, $t3, 13b
        nop
        ori     $t1, $zero, 1
        sw      $t1, 0x3C($t0)            # control byte 63
        jr      $ra
        nop

# The animated band: rows BAND_TOP..BAND_TOP+31, colour palette[(x/2 + y + 2f) & 63].
draw_band:
        lui     $t0, 0xA010
        lui     $t1, (BAND_TOP * 640) >> 16
        ori     $t1, $t1, (BAND_TOP * 640) & 0xFFFF
        addu    $t0, $t0, $t1             # row pointer
        lui     $t9, %hi(palette)
        addiu   $t9, $t9, %lo(palette)
        sll     $t8, $s3, 1               # 2 x frame
        or      $t1, $zero, $zero         # y in band
14:     or      $t2, $zero, $zero         # word index in row (x/2)
        addu    $t3, $t8, $t1             # phase of the row
15:     addu    $t4, $t3, $t2
        andi    $t4, $t4, 63
        sll     $t4, $t4, 1
        addu    $t4, $t4, $t9
        lhu     $t5, 0($t4)
        sll     $t6, $t5, 16
        or      $t5, $t5, $t6
        sll     $t6, $t2, 2
        addu    $t6, $t6, $t0
        sw      $t5, 0($t6)
        addiu   $t2, $t2, 1
        ori     $t7, $zero, 160
        bne     $t2, $t7, 15b
        nop
        addiu   $t0, $t0, 640
        addiu   $t1, $t1, 1
        ori     $t7, $zero, 32
        bne     $t1, $t7, 14b
        nop
        jr      $ra
        nop

# Controller 1: SI DMA the command block to the PIF, then its answer back.
read_pad:
        lui     $t0, 0xA480
        lui     $t1, 0x0030
        sw      $t1, 0x00($t0)            # SI_DRAM_ADDR_REG = block
        lui     $t2, 0x1FC0
        ori     $t2, $t2, 0x07C0
        sw      $t2, 0x10($t0)            # SI_PIF_ADDR_WR64B_REG
        beq     $zero, $zero, 16f         # the write runs when this block ends
        nop
16:     ori     $t1, $t1, 0x0040
        sw      $t1, 0x00($t0)            # SI_DRAM_ADDR_REG = answer
        sw      $t2, 0x04($t0)            # SI_PIF_ADDR_RD64B_REG
        beq     $zero, $zero, 17f         # poll, commands and read at block end
        nop
17:     sw      $zero, 0x18($t0)          # acknowledge the SI interrupt
        lui     $t0, 0x8030
        lw      $t1, 0x40($t0)            # FF rx-len command
        andi    $t1, $t1, 0x8000          # no-answer bit of the receive length
        bne     $t1, $zero, 18f
        or      $v0, $zero, $zero         # no controller: no buttons
        lw      $v0, 0x44($t0)
        srl     $v0, $v0, 16              # button bits
18:     lui     $t0, %hi(buttons)
        jr      $ra
        sw      $v0, %lo(buttons)($t0)

# Move the sprite with the d-pad (2 pixels a frame), erase it, draw it again.
move_sprite:
        or      $s7, $ra, $zero
        lui     $t0, %hi(buttons)
        lw      $t0, %lo(buttons)($t0)
        andi    $t1, $t0, 0x0800          # up
        beq     $t1, $zero, 19f
        nop
        addiu   $s2, $s2, -2
19:     andi    $t1, $t0, 0x0400          # down
        beq     $t1, $zero, 20f
        nop
        addiu   $s2, $s2, 2
20:     andi    $t1, $t0, 0x0200          # left
        beq     $t1, $zero, 21f
        nop
        addiu   $s1, $s1, -2
21:     andi    $t1, $t0, 0x0100          # right
        beq     $t1, $zero, 22f
        nop
        addiu   $s1, $s1, 2
22:     # clamp
        slti    $t1, $s1, 0
        beq     $t1, $zero, 23f
        nop
        or      $s1, $zero, $zero
23:     slti    $t1, $s1, SPRITE_MAXX + 1
        bne     $t1, $zero, 24f
        nop
        ori     $s1, $zero, SPRITE_MAXX
24:     slti    $t1, $s2, SPRITE_MINY
        beq     $t1, $zero, 25f
        nop
        ori     $s2, $zero, SPRITE_MINY
25:     slti    $t1, $s2, SPRITE_MAXY + 1
        bne     $t1, $zero, 26f
        nop
        ori     $s2, $zero, SPRITE_MAXY
26:     # erase the old square with the background
        or      $a2, $s4, $zero
        or      $a3, $s5, $zero
        jal     erase_sprite
        nop
        or      $a2, $s1, $zero
        or      $a3, $s2, $zero
        jal     draw_sprite
        nop
        or      $s4, $s1, $zero
        or      $s5, $s2, $zero
        jr      $s7
        nop

pixel_address:                            # a2 = x, a3 = y -> v1 = address of the pixel
        ori     $v1, $zero, 640
        multu   $a3, $v1
        mflo    $v1
        sll     $at, $a2, 1
        addu    $v1, $v1, $at
        lui     $at, 0xA010
        jr      $ra
        addu    $v1, $v1, $at

erase_sprite:
        or      $t9, $ra, $zero
        jal     pixel_address
        nop
        or      $t5, $v1, $zero           # row pointer (bg_colour uses v1)
        or      $a0, $a3, $zero           # y
        ori     $t2, $zero, 16
27:     jal     bg_colour
        nop
        ori     $t3, $zero, 16
        or      $t4, $t5, $zero
28:     sh      $v0, 0($t4)
        addiu   $t4, $t4, 2
        addiu   $t3, $t3, -1
        bne     $t3, $zero, 28b
        nop
        addiu   $t5, $t5, 640
        addiu   $a0, $a0, 1
        addiu   $t2, $t2, -1
        bne     $t2, $zero, 27b
        nop
        jr      $t9
        nop

draw_sprite:
        or      $t9, $ra, $zero
        jal     pixel_address
        nop
        lui     $t0, %hi(sprite_bits)
        addiu   $t0, $t0, %lo(sprite_bits)
        ori     $t5, $zero, 0xFFC1        # yellow
        ori     $t2, $zero, 16
29:     lhu     $t1, 0($t0)
        addiu   $t0, $t0, 2
        lui     $t6, 0
        ori     $t6, $t6, 0x8000
        or      $t4, $v1, $zero
30:     and     $t7, $t1, $t6
        beq     $t7, $zero, 31f
        nop
        sh      $t5, 0($t4)
31:     addiu   $t4, $t4, 2
        srl     $t6, $t6, 1
        bne     $t6, $zero, 30b
        nop
        addiu   $v1, $v1, 640
        addiu   $t2, $t2, -1
        bne     $t2, $zero, 29b
        nop
        jr      $t9
        nop

# ---------------------------------------------------------------------------
# Exception handler: serves VI (frame count, timer armed), AI (next buffer
# queued), timer (tick count, disarmed); resumes after the idle loop.
handler:
        lui     $k0, %hi(save_area)
        addiu   $k0, $k0, %lo(save_area)
        sw      $at, 0($k0)
        sw      $t0, 4($k0)
        sw      $t1, 8($k0)
        sw      $t2, 12($k0)
        sw      $t3, 16($k0)
        sw      $t4, 20($k0)
        lui     $t0, 0xA430
        lw      $t1, 0x08($t0)            # MI_INTR_REG
        lw      $t2, 0x0C($t0)            # MI_INTR_MASK_REG
        and     $t1, $t1, $t2
        andi    $t2, $t1, 0x08
        beq     $t2, $zero, h_no_vi
        nop
        lui     $t0, 0xA440
        sw      $zero, 0x10($t0)          # acknowledge VI
        lui     $t0, %hi(frame_count)
        lw      $t3, %lo(frame_count)($t0)
        addiu   $t3, $t3, 1
        sw      $t3, %lo(frame_count)($t0)
        mfc0    $t3, $9                   # arm the timer a third of a frame ahead
        lui     $t4, 3
        addu    $t3, $t3, $t4
        mtc0    $t3, $11
h_no_vi:
        andi    $t2, $t1, 0x04
        beq     $t2, $zero, h_no_ai
        nop
        lui     $t0, 0xA450
        sw      $zero, 0x0C($t0)          # acknowledge AI
        lui     $t3, %hi(audio_next)
        lw      $t4, %lo(audio_next)($t3)
        sw      $t4, 0x00($t0)            # AI_DRAM_ADDR_REG
        ori     $t2, $zero, AUDIO_BYTES - 1
        sw      $t2, 0x04($t0)            # AI_LEN_REG: queued when this block ends
        xori    $t4, $t4, 0x2000          # alternate the two buffers
        sw      $t4, %lo(audio_next)($t3)
        lw      $t4, %lo(audio_count)($t3)
        addiu   $t4, $t4, 1
        sw      $t4, %lo(audio_count)($t3)
h_no_ai:
        mfc0    $t1, $13                  # Cause
        andi    $t2, $t1, 0x8000          # IP7: the timer
        beq     $t2, $zero, h_no_timer
        nop
        lui     $t0, %hi(timer_ticks)
        lw      $t3, %lo(timer_ticks)($t0)
        addiu   $t3, $t3, 1
        sw      $t3, %lo(timer_ticks)($t0)
        mtc0    $zero, $11                # disarm until the next frame
h_no_timer:
        mfc0    $t1, $14                  # EPC
        lui     $t2, %hi(idle)
        addiu   $t2, $t2, %lo(idle)
        bne     $t1, $t2, h_restore
        nop
        addiu   $t1, $t1, 8               # leave the idle loop
        mtc0    $t1, $14
h_restore:
        lw      $at, 0($k0)
        lw      $t0, 4($k0)
        lw      $t1, 8($k0)
        lw      $t2, 12($k0)
        lw      $t3, 16($k0)
        lw      $t4, 20($k0)
        eret

# ---------------------------------------------------------------------------
        .align  2
frame_count:    .word 0
timer_ticks:    .word 0
buttons:        .word 0
audio_next:     .word AUDIO0_PHYS
audio_count:    .word 0
save_area:      .space 32
fconst:         .float 1.0, 0.99518472667, 0.09801714033, 8000.0
sine:           .space 128
palette:        .space 128
sprite_bits:
        .half 0x07E0, 0x1FF8, 0x3FFC, 0x7FFE, 0x7E7E, 0xFC3F, 0xF81F, 0xF81F
        .half 0xF81F, 0xF81F, 0xFC3F, 0x7E7E, 0x7FFE, 0x3FFC, 0x1FF8, 0x07E0
title_glyphs:
        .byte 0x3C,0x66,0x66,0x66,0x66,0x66,0x3C,0x00   # O
        .byte 0x7C,0x66,0x66,0x7C,0x78,0x6C,0x66,0x00   # R
        .byte 0x66,0x66,0x66,0x66,0x66,0x3C,0x18,0x00   # V
        .byte 0x7E,0x60,0x60,0x78,0x60,0x60,0x7E,0x00   # E
        .byte 0x66,0x66,0x3C,0x18,0x3C,0x66,0x66,0x00   # X
        .byte 0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00   # space
        .byte 0x78,0x6C,0x66,0x66,0x66,0x6C,0x78,0x00   # D
        .byte 0x7E,0x60,0x60,0x78,0x60,0x60,0x7E,0x00   # E
        .byte 0x63,0x77,0x7F,0x6B,0x63,0x63,0x63,0x00   # M
        .byte 0x3C,0x66,0x66,0x66,0x66,0x66,0x3C,0x00   # O
        .align  2
