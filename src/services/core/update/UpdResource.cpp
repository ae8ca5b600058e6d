// Resource "UPD": the updater executable, compressed in SZDD at build time
// (tresoro_szdd_pack), linked into the program as read-only data.
#ifndef TRESORO_UPD_FILE
#error "the build must name the compressed updater (TRESORO_UPD_FILE)"
#endif

asm(".section .rodata\n"
    ".global tresoro_upd_begin\n"
    ".balign 16\n"
    "tresoro_upd_begin:\n"
    ".incbin \"" TRESORO_UPD_FILE "\"\n"
    ".global tresoro_upd_end\n"
    "tresoro_upd_end:\n"
    ".byte 0\n"
    ".previous\n");
