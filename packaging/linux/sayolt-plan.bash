# bash completion for sayolt-plan

_sayolt_plan() {
    local cur prev words cword
    _init_completion || return

    if ((cword == 1)); then
        COMPREPLY=($(compgen -W 'check workbook show simulate timecheck ini --help --version' -- "$cur"))
        return
    fi

    local command=${words[1]}
    if [[ $command == ini ]]; then
        case $cword in
            2) COMPREPLY=($(compgen -W 'get set delete-key delete-section get-section set-section --help' -- "$cur")) ;;
            3) _filedir ini ;;
        esac
        return
    fi

    case $prev in
        --at | --from)
            # A local date and time, quoted as one word.
            COMPREPLY=("\"$(date '+%Y-%m-%d %H:%M:%S')\"")
            return
            ;;
        --days) return ;;
    esac

    if [[ $cur == -* ]]; then
        local options='--help'
        case $command in
            check) options='--conflicts --json --help' ;;
            show) options='--at --json --help' ;;
            simulate) options='--from --days --json --help' ;;
            timecheck) options='--json --help' ;;
        esac
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi

    if [[ $command == workbook && $cword -ge 3 ]]; then
        _filedir xls
    else
        _filedir ini
    fi
} &&
    complete -F _sayolt_plan sayolt-plan
