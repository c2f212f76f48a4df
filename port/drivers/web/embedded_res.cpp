// The compiled resource script inside the program, as on Linux: nothing is
// fetched for it. WebAssembly objects name their data sections their own way
// and want every data symbol's size (GLIMMERZ_RES_SIZE, the file's).
#define GLIMMERZ_TEXT(x) #x
#define GLIMMERZ_NUMBER(x) GLIMMERZ_TEXT(x)
__asm__(".section .rodata.glimmerz_res,\"\",@\n"
        ".global glimmerzResStart\n"
        "glimmerzResStart:\n"
        ".incbin \"" GLIMMERZ_RES_PATH "\"\n"
        ".size glimmerzResStart, " GLIMMERZ_NUMBER(GLIMMERZ_RES_SIZE) "\n"
        ".global glimmerzResEnd\n"
        "glimmerzResEnd:\n"
        ".byte 0\n"
        ".size glimmerzResEnd, 1\n");
