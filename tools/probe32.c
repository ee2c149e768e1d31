/* The smallest 32-bit Linux program: it only exits, with status 0, through
   the 32-bit system call. A kernel that runs no 32-bit code refuses to
   start it ("Exec format error"), and then refuses Wine's 32-bit side too.
   Built with gcc -m32 -static -nostdlib: no 32-bit library is needed. */
void _start(void) { __asm__ volatile("movl $1, %eax\n\txorl %ebx, %ebx\n\tint $0x80"); }
