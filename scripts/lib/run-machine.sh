# Shell functions for the Windows machine of scripts/run and scripts/bench-run: a Wine prefix
# of its own per edition in build/run/<edition>/ (apart from the tests' prefixes), the demo
# payment program installed where the utility looks for it, and the utility with its tools in
# a program folder. Sourced after lib/build.sh and lib/wine.sh, not run.

run_service=OrbitTender
run_program_folder_windows='C:\Program Files\TlvAsService'

say() { echo "run: $*"; }
fail() {
  echo "run: FAILED: $*" >&2
  exit 1
}

# run_choose_edition: the x86 edition, the one users get, where this machine runs it; else
# the x64 edition (a kernel without 32-bit support). The demo payment program is of the same
# edition and goes where that edition looks for it: Program Files (x86) or Program Files.
run_choose_edition() {
  local here_editions
  read -r -a here_editions <<<"$(wine_editions)"
  [ ${#here_editions[@]} -gt 0 ] || fail "Wine cannot start on this machine"
  run_edition=${here_editions[0]}
  mingw_dir=$(mingw_dir_of "$run_edition")
  run_state_dir="$root/build/run/$run_edition"
  run_drive="$mingw_dir/demo/tlvdrive.exe"
  run_program_files='Program Files (x86)'
  [ "$run_edition" = x64 ] && run_program_files='Program Files'
  run_install_folder_windows="C:\\$run_program_files\\Orbit-Tender"
}

# run_build: only the programs the run needs, in the MinGW tree of the edition.
run_build() {
  build_mingw "$run_edition" TlvAsService instsrv srvany OrbitTenderDemo tlvdrive >/dev/null
}

# run_use_machine: point Wine at the run's own prefix of the edition.
run_use_machine() {
  wine_use "$run_state_dir" "$run_edition"
  run_drive_c="$WINEPREFIX/drive_c"
  run_program_folder="$run_drive_c/Program Files/TlvAsService"
  run_install_folder="$run_drive_c/$run_program_files/Orbit-Tender"
}

# place <source> <target>: copies a file unless the target already holds the same bytes. The
# copy goes in under a new name first, so a program still running from the old file keeps it.
place() {
  if ! cmp -s "$1" "$2"; then
    cp "$1" "$2.new"
    mv -f "$2.new" "$2"
  fi
}

# run_install: the demo payment program and the program folder with the three executables.
run_install() {
  mkdir -p "$run_install_folder" "$run_program_folder"
  place "$mingw_dir/demo/Orbit-Tender.exe" "$run_install_folder/Orbit-Tender.exe"
  place "$mingw_dir/app/TlvAsService.exe" "$run_program_folder/TlvAsService.exe"
  place "$mingw_dir/tools/instsrv/instsrv.exe" "$run_program_folder/instsrv.exe"
  place "$mingw_dir/tools/srvany/srvany.exe" "$run_program_folder/srvany.exe"
  # Every build of this tree is the same release, whose tools in the Windows folder a run uses
  # as found: those of an earlier build go, so that the run places and shows this build's.
  local tool
  for tool in instsrv srvany; do
    if [ -f "$run_drive_c/windows/$tool.exe" ] && ! cmp -s "$mingw_dir/tools/$tool/$tool.exe" "$run_drive_c/windows/$tool.exe"; then
      rm -f "$run_drive_c/windows/$tool.exe"
    fi
  done
}

# timed <label> <command...>: runs the command, quietly, and adds how long it took to `ready`.
timed() {
  local label=$1 started
  shift
  started=$(date +%s%N)
  "$@" >/dev/null 2>&1 </dev/null || true
  ready+=("$label $((($(date +%s%N) - started) / 1000000)) ms")
}

# run_prepare_machine: what a booted Windows has ready before anyone starts the utility: its
# service manager answering, the command interpreter and instsrv loaded once. A fresh Wine
# session loads each at its first start, which can take longer than the half second the
# utility gives its batch file to create the service. Prints what each took.
run_prepare_machine() {
  ready=()
  timed "command interpreter" wine cmd /c exit
  timed "service manager" wine sc query "$run_service"
  timed "instsrv" wine "$run_program_folder_windows\\instsrv.exe"
  local joined
  joined=$(printf '%s, ' "${ready[@]}")
  say "made ready as a booted Windows is, first starts: ${joined%, }"
}

drive() { wine "$run_drive" "$@"; }

# unquote <text field>: a tlvdrive text field's value without its quotes and escapes.
unquote() {
  local text=${1#\"}
  text=${text%\"}
  text=${text//\\r\\n/ }
  text=${text//\\\"/\"}
  printf '%s' "${text//\\\\/\\}"
}

# field <line> <key>: one field of a tlvdrive output line (a number, or a text unquoted).
field() {
  local value
  value=$(printf '%s\n' "$1" | sed -nE "s/.* $2=(\"([^\"\\\\]|\\\\.)*\"|[^ ]*).*/\\1/p")
  unquote "$value"
}

# service_state: the service's state word (RUNNING, STOPPED, ...), empty when it does not exist.
service_state() {
  wine sc query "$run_service" 2>/dev/null | tr -d '\r' | sed -nE 's/^ *STATE *: *[0-9]+ +([A-Z_]+).*/\1/p'
}

# wait_until <seconds> <command...>: polls the command every 0.2 s until it succeeds.
wait_until() {
  local limit=$(($1 * 5))
  shift
  for ((i = 0; i < limit; i++)); do
    "$@" && return 0
    sleep 0.2
  done
  return 1
}
