# bash completion for tellavine-cli: commands, each command's options, and the files
# and folders its arguments take. Source it, or install it as
# /usr/share/bash-completion/completions/tellavine-cli.

_tellavine_cli_options() {
    local folder="--sort --play-time --captions"
    local disc="--pal --ntsc --aspect --crop --label --no-photo-files --no-audio-files --template --temp $folder --yes -y"
    case $1 in
        new)        echo "--output -o --template $folder --yes -y --help -h" ;;
        build)      echo "--output -o $disc --help -h" ;;
        burn)       echo "--device -d --speed --simulate --burn-proof --mode --writing-mode $disc --help -h" ;;
        show)       echo "--json --help -h" ;;
        import)     echo "--output -o --yes -y --help -h" ;;
        inspect)    echo "--json --extract --help -h" ;;
        devices|eject|close-tray) echo "--device -d --help -h" ;;
        erase)      echo "--device -d --full --yes -y --help -h" ;;
    esac
}

_tellavine_cli_files() {  # patterns: files matching one of them, and folders to walk into
    compopt -o filenames 2>/dev/null
    local pattern
    COMPREPLY=($(compgen -d -- "$cur"))
    for pattern in "$@"; do COMPREPLY+=($(compgen -f -X "!$pattern" -- "$cur")); done
}

_tellavine_cli() {
    local cur prev command i
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD-1]}
    local commands="new build burn show import inspect devices erase eject close-tray"
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in -*) ;; *) command=${COMP_WORDS[i]}; break ;; esac
    done
    if [[ -z $command ]]; then
        COMPREPLY=($(compgen -W "$commands --help -h --version" -- "$cur"))
        return
    fi

    case $prev in
        --sort)     COMPREPLY=($(compgen -W "name date" -- "$cur")); return ;;
        --captions) COMPREPLY=($(compgen -W "none name" -- "$cur")); return ;;
        --aspect)   COMPREPLY=($(compgen -W "none 4:3 16:9" -- "$cur")); return ;;
        --speed)    COMPREPLY=($(compgen -W "0 1 2 3 4 5 6 max" -- "$cur")); return ;;
        --mode|--writing-mode) COMPREPLY=($(compgen -W "auto mmc raw" -- "$cur")); return ;;
        --play-time|--crop|--label) return ;;
        --template) _tellavine_cli_files "*.ini"; return ;;
        --temp|--extract)
            compopt -o filenames 2>/dev/null
            COMPREPLY=($(compgen -d -- "$cur")); return ;;
        -d|--device)
            COMPREPLY=($(compgen -W "$(ls /dev/sr* 2>/dev/null) emulated:" -- "$cur")); return ;;
        -o|--output)
            case $command in
                build) _tellavine_cli_files "*.cue" ;;
                *)     _tellavine_cli_files "*.ovp" ;;
            esac
            return ;;
    esac

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$(_tellavine_cli_options "$command")" -- "$cur"))
        return
    fi
    case $command in
        new)         compopt -o filenames 2>/dev/null; COMPREPLY=($(compgen -d -- "$cur")) ;;
        build|burn)  _tellavine_cli_files "*.ovp" "*.orx" ;;
        show)        _tellavine_cli_files "*.ovp" "*.orx" ;;
        import)      _tellavine_cli_files "*.json" ;;
        inspect)     _tellavine_cli_files "*.cue" ;;
    esac
}

complete -F _tellavine_cli tellavine-cli
