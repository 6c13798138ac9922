# bash completion for qelcli: commands, global options, each command's own
# options and, after -p/--port, the ports qelcli lists. The words come from
# "qelcli --help" itself, so they follow the program.

_qelcli_words()
{
    # $1: the command whose options are wanted, empty for the commands and
    # the global options. An optional value ("--log[=hex]") is left off.
    "$2" --help 2>/dev/null | awk -v want="$1" '
        /^  [a-z]/ {
            if (want == "" && !seen[$1]++) print $1
            cur = $1; if ($2 ~ /^[a-z][a-z-]*$/) cur = $1 " " $2
            next
        }
        /^ +-/ {
            if (cur != want) next
            for (i = 1; i <= NF && $i ~ /^-/; i++) { o = $i; sub(/,$/, "", o); sub(/\[.*$/, "", o); print o }
        }'
}

_qelcli()
{
    local cur prev prog cmd i
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD-1]}
    prog=${COMP_WORDS[0]}

    case $prev in
    -p | --port)
        local IFS=$'\n'
        COMPREPLY=($(compgen -W "$("$prog" ports 2>/dev/null | cut -f2)" -- "$cur"))
        return
        ;;
    -b | --baud)
        COMPREPLY=($(compgen -W "1200 2400 4800 9600 14400 19200 38400 56000 57600 115200 230400 460800 921600" -- "$cur"))
        return
        ;;
    --lang)
        COMPREPLY=($(compgen -W "zh en" -- "$cur"))
        return
        ;;
    esac

    # The command is the first word that is neither an option nor the value
    # of -p, -b or --lang.
    cmd=
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
        -p | --port | -b | --baud | --lang) ((i++)) ;;
        -*) ;;
        *) cmd=${COMP_WORDS[i]}; break ;;
        esac
    done

    # A command named by two words ("screen send") is known by both.
    if [[ -n $cmd ]] && ((i + 1 < COMP_CWORD)) &&
        "$prog" --help 2>/dev/null | awk -v c="$cmd" -v s="${COMP_WORDS[i+1]}" \
            '/^  [a-z]/ && $1 == c && $2 == s { found = 1 } END { exit !found }'; then
        cmd="$cmd ${COMP_WORDS[i+1]}"
        ((i++))
    fi

    local words
    if [[ -z $cmd ]]; then
        words=$(_qelcli_words "" "$prog")
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W "$(printf '%s\n' $words | grep '^-')" -- "$cur"))
        else
            COMPREPLY=($(compgen -W "$(printf '%s\n' $words | grep -v '^-')" -- "$cur"))
        fi
    elif ((i == COMP_CWORD - 1)) && [[ $cur != -* ]] &&
        words=$("$prog" --help 2>/dev/null | awk -v c="$cmd" '/^  [a-z]/ && $1 == c && $2 ~ /^[a-z]+$/ { print $2 }') &&
        [[ -n $words ]]; then
        # The second word of a command named by two ("screen send").
        COMPREPLY=($(compgen -W "$words" -- "$cur"))
    elif [[ $cur == -* ]]; then
        words="$(_qelcli_words "$cmd" "$prog") $(_qelcli_words "" "$prog" | grep '^-')"
        COMPREPLY=($(compgen -W "$words" -- "$cur"))
    fi
    # Anything else (files, slots, texts) falls back to file names.
}
complete -o default -F _qelcli qelcli
