// Native replacements of guest library routines. Each runs where a JAL to the
// guest routine stood, after the call's delay slot: it reads its arguments from
// the guest registers, writes its results there and reaches guest memory only
// through the memory map. The return address register is never touched.
#pragma once

// Interrupts, status and FPU control.
void hleOsSetSr();
void hleOsDisableInt();
void hleOsRestoreInt();
void hleOsSetFpcCsr();
void hleOsEepStatus();
void hleOsSpTaskStartGo();
void hleOsWritebackDCache();
void hleOsInvalICache();

// Raw I/O.
void hleOsSpRawReadIo();
void hleOsSpRawWriteIo();
void hleOsPiRawReadIo();

// Address translation and TLB.
void hleOsVirtualToPhysical();
void hleOsMapTlb();
void hleOsUnmapTlbAll();
void hleOsMapTlbRdb();

// Single-precision maths.
void hleSqrtf();
void hleSinf();
void hleCosf();

// 64-bit integer arithmetic.
void hleLlMul();
void hleUllDiv();
void hleUllRem();
void hleLlDiv();
