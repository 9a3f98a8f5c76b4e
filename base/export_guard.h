// Nothing is thrown across the exported boundary: an export's body runs inside ExportGuard, and
// anything that escapes it (in practice only an allocation failure) becomes -1.
#pragma once

template <typename Body>
int ExportGuard(Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return -1;
    }
}
