# Shell functions of scripts/run: run the utility while printing what its window shows, then
# show and check the service it made. Sourced after lib/run-machine.sh, not run.

main_window="Make Service for Tolvane"
success_status="Service is Ready to Start"

# clock <ms>: milliseconds as seconds with three decimals.
clock() { printf '%d.%03d s' $(($1 / 1000)) $(($1 % 1000)); }

# show_watch_line <line>: one line of `tlvdrive watch` as a person reads it.
show_watch_line() {
  local line=$1 text
  case "$line" in
    process\ *) say "TlvAsService.exe started (pid $(field "$line" pid)); times are from its start" ;;
    changed\ *)
      text=$(field "$line" text)
      printf '  %10s  status  %s\n' "$(clock "$(field "$line" ms)")" "${text:-(empty)}"
      ;;
    appeared\ *) box_ms=$(field "$line" ms) ;;
    window\ *) printf '  %10s  box     "%s"\n' "$(clock "${box_ms:-0}")" "$(field "$line" title)" ;;
    static\ *)
      text=$(field "$line" text)
      if [ -n "${text// /}" ]; then printf '  %10s          %s\n' "" "$text"; fi
      ;;
  esac
}

# read_ending <watch file>: the last status and box title that tlvdrive saw.
read_ending() {
  final_status=$(field "$(grep '^changed ' "$1" | tail -1)" text)
  box_title=$(field "$(grep '^window ' "$1" | tail -1)" title)
}

# run_again: what README tells a user to do when a run ends "NOT Complete": OK, then the menu
# item Create Tol Vane Service once more; prints what it sees as the first run does.
run_again() {
  say "the utility ended \"NOT Complete\": its batch file had not created the service within the"
  say "  run's fixed half second (a slow first start); as README tells a user, tlvdrive presses OK"
  say "  and chooses Create Tol Vane Service again"
  drive press "$utility_pid" OK >/dev/null || fail "could not answer the box \"$box_title\""
  local again="$run_state_dir/watch-again.txt"
  drive menu "$utility_pid" >"$again" 2>&1 || fail "the run from the menu showed no box: $(tail -1 "$again")"
  while IFS= read -r line; do show_watch_line "$line"; done <"$again"
  read_ending "$again"
}

# run_utility drive|person: starts the utility, prints each status it sees and the box that
# ends the run; tlvdrive answers it, or the person does and closes the window.
run_utility() {
  watch_log="$run_state_dir/watch.txt"
  : >"$watch_log"
  say "starting $run_program_folder_windows\\TlvAsService.exe"
  # tlvdrive writes to a file, which is followed here: a pipe would stay open as long as the
  # programs it starts live, since Wine hands them its own output.
  drive watch "$run_program_folder_windows\\TlvAsService.exe" >"$watch_log" 2>&1 &
  local watcher=$! watched=0
  while IFS= read -r line; do show_watch_line "$line"; done < <(tail -n +1 -f --pid="$watcher" "$watch_log")
  wait "$watcher" && watched=1
  utility_pid=$(sed -n 's/^process pid=//p' "$watch_log")
  [ -n "$utility_pid" ] || fail "TlvAsService.exe did not start: $(tail -1 "$watch_log")"
  [ $watched -eq 1 ] || fail "the utility showed no box: $(tail -1 "$watch_log")"
  read_ending "$watch_log"

  if [ "$1" = person ]; then
    say "answer the box, then close the window to go on"
    drive waitexit "$utility_pid" 86400000 >/dev/null || fail "the utility did not end"
    return
  fi
  if [ "$box_title" = "Where is Tolvane?" ]; then
    say "the utility did not find the payment program; tlvdrive types STOP"
    drive type "$utility_pid" STOP >/dev/null
    drive press "$utility_pid" OK >/dev/null
    sleep 0.5  # the prompt goes before the next box comes
  fi
  if [ "$final_status" = "Orbit-Tender Service NOT Complete" ]; then run_again; fi
  drive press "$utility_pid" OK >/dev/null || fail "could not answer the box \"$box_title\""
  say "tlvdrive pressed OK and closes the window"
  drive close "$utility_pid" >/dev/null || fail "the window did not close"
  drive waitexit "$utility_pid" >/dev/null || fail "the utility did not end"
}

show_service_settings() {
  say "the service's registry values (reg query HKLM\\SYSTEM\\CurrentControlSet\\Services\\$run_service /s):"
  wine reg query "HKLM\\SYSTEM\\CurrentControlSet\\Services\\$run_service" /s 2>/dev/null | tr -d '\r' |
    sed '/^$/d; s/^/    /' || true
  # The service manager's own view (ImagePath, Start and the rest are the values above).
  say "the service as the service manager reports it (sc query $run_service):"
  wine sc query "$run_service" 2>/dev/null | tr -d '\r' | sed '/^$/d; s/^/    /' | grep . ||
    fail "the service $run_service does not exist: the batch file did not create it"
}

# The Linux processes of the payment program (Wine runs each Windows process as one).
payment_processes() { grep -l 'Orbit-Tender\.exe' /proc/[0-9]*/cmdline 2>/dev/null | cut -d/ -f3 | tr '\n' ' '; }
service_is() { [ "$(service_state)" = "$1" ]; }
payment_program_gone() { [ ! -e "$marker" ] && [ -z "$(payment_processes)" ]; }

check_service() {
  say "starting the service: sc start $run_service"
  wine sc start "$run_service" >/dev/null 2>&1 || fail "sc start $run_service was refused"
  wait_until 30 service_is RUNNING || fail "the service did not reach RUNNING (it is $(service_state))"
  wait_until 30 test -e "$marker" || fail "the service runs but Orbit-Tender.exe did not start"
  running_as=$(tr -d '\r' <"$marker")
  say "Orbit-Tender.exe runs under the service: $running_as; Linux process $(payment_processes)"
  say "stopping the service: sc stop $run_service"
  wine sc stop "$run_service" >/dev/null 2>&1 || fail "sc stop $run_service was refused"
  wait_until 30 service_is STOPPED || fail "the service did not stop (it is $(service_state))"
  wait_until 30 payment_program_gone || fail "Orbit-Tender.exe did not end with the service"
  say "the service stopped and Orbit-Tender.exe ended with it"
}

summarise() {
  echo
  echo "Summary"
  local answered="tlvdrive answered it"
  [ "$display_mode" = person ] && answered="you answered it"
  echo "  utility:  showed \"$final_status\" and the box \"$box_title\"; $answered"
  echo "  service:  $run_service runs srvany.exe, which ran Orbit-Tender.exe ($running_as) and stopped it"
  echo "  edition:  $run_edition"
  echo "  machine:  $WINEPREFIX"
  if [ "$display_mode" = drive ] && [ "$final_status" != "$success_status" ]; then
    fail "the utility did not end with \"$success_status\""
  fi
  echo "OK: the payment program runs as the Windows service $run_service"
}
