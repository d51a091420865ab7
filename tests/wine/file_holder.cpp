// Holds a file open without delete sharing, as a scanning program holds its data source, for a
// test in another process: file_holder <path>. It writes "1" to its standard output once it
// holds the file ("0" when it cannot open it) and holds it until its standard input ends.
#include <windows.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    HANDLE file =
        CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    const bool held = file != INVALID_HANDLE_VALUE;
    DWORD done = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), held ? "1" : "0", 1, &done, nullptr);
    char byte = 0;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), &byte, 1, &done, nullptr) && done == 1) {
    }
    if (held) {
        CloseHandle(file);
    }
    return held ? 0 : 1;
}
