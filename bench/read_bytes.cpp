// The yardstick of the clean process benchmark: a whole process that does nothing but read a file byte by byte,
// through stdio's buffer without locking it, the fastest way to look at every byte through stdio.
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    std::FILE* file = std::fopen(argv[1], "rb");
    if (!file) return 1;
    unsigned long opens = 0;
    for (int c; (c = getc_unlocked(file)) != EOF;) opens += c == '<';
    std::fclose(file);
    return opens == 0 ? 3 : 0;  // Used, so the loop is not left out.
}
