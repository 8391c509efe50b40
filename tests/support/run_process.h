#pragma once

// Runs another program of the build (the command line, the editor) from a
// test, with its output and errors into files, on POSIX and on Windows alike.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "rom/file_path.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace morvik::test {

// The exit status of a program that could not be started or did not end by
// itself.
inline constexpr int kNotRun = -1;

#ifdef _WIN32
// One word of a command line as the C runtime splits it again: quoted, with
// the backslashes before a quote doubled.
inline std::wstring commandWord(const std::wstring& word) {
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : word) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

inline HANDLE inheritableFile(const std::filesystem::path& path) {
    SECURITY_ATTRIBUTES security{sizeof security, nullptr, TRUE};
    return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &security,
                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}
#endif

// Runs `program` with the arguments (UTF-8), its standard output and error
// written to the two files; the exit status. `inChild` (POSIX only) runs in
// the new process before the program starts; when it returns false the
// process ends with `childFailed`.
inline int runProcess(const std::filesystem::path& program, const std::vector<std::string>& args,
                      const std::filesystem::path& out, const std::filesystem::path& err,
                      const std::function<bool()>& inChild = {}, int childFailed = 126) {
#ifdef _WIN32
    (void)inChild;
    (void)childFailed;
    std::wstring command = commandWord(program.wstring());
    for (const std::string& arg : args)
        command += L" " + commandWord(pathFromUtf8(arg).wstring());
    HANDLE outFile = inheritableFile(out);
    HANDLE errFile = inheritableFile(err);
    int status = kNotRun;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = outFile;
    startup.hStdError = errFile;
    PROCESS_INFORMATION process{};
    if (outFile != INVALID_HANDLE_VALUE && errFile != INVALID_HANDLE_VALUE &&
        CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                       &startup, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        if (GetExitCodeProcess(process.hProcess, &code)) status = static_cast<int>(code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    if (outFile != INVALID_HANDLE_VALUE) CloseHandle(outFile);
    if (errFile != INVALID_HANDLE_VALUE) CloseHandle(errFile);
    return status;
#else
    std::vector<std::string> words = {program.string()};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        const int outFile = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int errFile = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (outFile < 0 || errFile < 0 || ::dup2(outFile, 1) < 0 || ::dup2(errFile, 2) < 0)
            ::_exit(childFailed);
        if (inChild && !inChild()) ::_exit(childFailed);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int raw = 0;
    if (child <= 0 || ::waitpid(child, &raw, 0) != child || !WIFEXITED(raw)) return kNotRun;
    return WEXITSTATUS(raw);
#endif
}

}  // namespace morvik::test
