// The compiled resource script, carried inside the program so that nothing is
// read from disk at run time.
__asm__(
    ".section .rodata\n"
    ".balign 16\n"
    ".global glimmerzResStart\n"
    "glimmerzResStart:\n"
    ".incbin \"" GLIMMERZ_RES_PATH
    "\"\n"
    ".global glimmerzResEnd\n"
    "glimmerzResEnd:\n"
    ".byte 0\n"
    ".previous\n");
