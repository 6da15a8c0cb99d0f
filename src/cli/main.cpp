#include <cstdio>

int main() {
    std::puts("dezaror: not built yet");
    return 0;
}
