#!/bin/sh
# Whether this machine can run 32-bit x86 programs, which 32-bit Wine needs. Exit 0 when it can;
# otherwise exit 1 and print the cause and the remedy on standard output.
#
# The check runs a 93-byte static i386 program that only calls exit(0): it needs no 32-bit
# libraries, so it asks the kernel alone. TORVEX_NO_IA32=1 makes the check fail as it would on a
# kernel without IA-32 emulation, to try that road on any machine.
if [ "${TORVEX_NO_IA32:-0}" = 1 ]; then
  echo "32-bit programs are switched off for this run (TORVEX_NO_IA32=1), so 32-bit Wine cannot run."
  exit 1
fi

probe=$(mktemp "${TMPDIR:-/tmp}/torvex-ia32.XXXXXX") || exit 1
trap 'rm -f "$probe"' EXIT
# ELF header, one loadable segment, then: mov eax, 1; xor ebx, ebx; int 0x80.
printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010\135\000\000\000\135\000\000\000\005\000\000\000\000\020\000\000\270\001\000\000\000\061\333\315\200' >"$probe"
chmod 700 "$probe"

if output=$("$probe" 2>&1); then
  exit 0
fi
case $output in
*"Exec format error"* | *"cannot execute binary file"*)
  echo "This machine's kernel runs no 32-bit programs (a 32-bit program fails with \"Exec format error\":"
  echo "the kernel's IA-32 emulation is off, or was left out when it was built), so 32-bit Wine cannot run"
  echo "here. Where you control the kernel, boot it with ia32_emulation=1 (Linux 6.7 and later) or use one"
  echo "built with CONFIG_IA32_EMULATION; 'dmesg | grep -i 32-bit' shows what it says of itself."
  ;;
*)
  echo "A 32-bit test program could not run on this machine (${output:-no message}), so 32-bit Wine cannot run here."
  ;;
esac
exit 1
