#!/usr/bin/env bash
# bash completion of qelcli: commands, global options, a command's own
# options and the values of -b. Usage: test_completion.sh COMPLETION QELCLI
set -u
source "$1"
QELCLI=$2
fail=0
check() {
    local expected=$1; shift
    COMP_WORDS=("$QELCLI" "$@"); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); COMPREPLY=()
    _qelcli
    local got="${COMPREPLY[*]}"
    if [[ $got != "$expected" ]]; then
        echo "FAIL: qelcli $*: expected [$expected], got [$got]"; fail=1
    fi
}
check "picture" pi
check "detect delete delete-all" -p /dev/ttyUSB0 de
check "-p --port -b --baud --log --json --lang -h --help -V --version" -
check "en" --lang e
check "--slot --stretch" picture --s
check "--family --font-file" font-gen --f
check "--junit --json" run demo.kbz -y --j
check "9600" -b 96
check "screen" scr
check "render send export" screen ""
check "send" -p /dev/ttyUSB0 screen s
check "--screen" screen send x.qels --scr
check "--batch --baud" screen export x.qels --b
check "" -b 9600 info x
# The completion file must load under the command's own name.
complete -p qelcli | grep -q -- '-F _qelcli qelcli$' || { echo "FAIL: not registered for qelcli"; fail=1; }
exit $fail
