// Processor features beyond the MMX flag of surface.h. Read once, cached.
#pragma once

// SSE2: always on x86_64; on i686 only from the Pentium 4 / Athlon 64 on.
bool CpuHasSse2();
// SSSE3 (Core 2 and later).
bool CpuHasSsse3();

// Whether the system saves the SSE registers across task switches, without
// which SSE instructions fault: Windows 95 does not. Asked of the system on
// Windows; every host system does.
bool SystemSupportsSse();
