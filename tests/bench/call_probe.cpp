#include "call_probe.h"

#include <vector>

// TvxCallCountingPops(function, args, count, popped): pushes args[count-1] .. args[0], calls, and
// stores the difference between the stack pointer after and before the call in *popped.
extern "C" uint32_t TvxCallCountingPops(const void* function, const uint32_t* args, uint32_t count, uint32_t* popped);

asm(R"(
    .text
    .globl _TvxCallCountingPops
_TvxCallCountingPops:
    pushl %ebp
    movl %esp, %ebp
    pushl %esi
    pushl %edi
    pushl %ebx
    movl 12(%ebp), %esi
    movl 16(%ebp), %ecx
1:  testl %ecx, %ecx
    jz 2f
    decl %ecx
    pushl (%esi,%ecx,4)
    jmp 1b
2:  movl %esp, %edi
    call *8(%ebp)
    movl %esp, %ecx
    subl %edi, %ecx
    movl 20(%ebp), %edx
    movl %ecx, (%edx)
    leal -12(%ebp), %esp
    popl %ebx
    popl %edi
    popl %esi
    popl %ebp
    ret
)");

ProbedCall CallAndCountPops(const void* function, std::initializer_list<uint32_t> args) {
    const std::vector<uint32_t> words(args);
    ProbedCall call{};
    call.result = TvxCallCountingPops(function, words.data(), static_cast<uint32_t>(words.size()), &call.bytesPopped);
    return call;
}
