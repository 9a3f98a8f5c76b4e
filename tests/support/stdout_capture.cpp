#include "stdout_capture.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <sstream>

StdoutCapture::StdoutCapture() {
    char dir[MAX_PATH];
    char file[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    GetTempFileNameA(dir, "tvx", 0, file);
    m_path = file;
    std::fflush(stdout);
    m_savedFd = _dup(1);
    int fd = _open(file, _O_WRONLY | _O_TRUNC | _O_CREAT | _O_BINARY, 0600);
    _dup2(fd, 1);
    _close(fd);
}

std::string StdoutCapture::Finish() {
    if (m_finished) return m_text;
    m_finished = true;
    std::fflush(stdout);
    _dup2(m_savedFd, 1);
    _close(m_savedFd);
    std::ifstream in(m_path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    in.close();
    DeleteFileA(m_path.c_str());
    m_text = all.str();
    return m_text;
}

StdoutCapture::~StdoutCapture() { Finish(); }
