# Sourced: on_exit COMMAND runs COMMAND when the script exits, however it exits, after every
# clean-up registered later (last in, first out). A plain "trap ... EXIT" would replace the
# clean-ups registered before it, so every script registers through this.
if [ -z "${QBX_ON_EXIT_LOADED:-}" ]; then
  QBX_ON_EXIT_LOADED=1
  qbx_exit_calls=()
  qbx_run_exit_calls() {
    local i
    for ((i = ${#qbx_exit_calls[@]} - 1; i >= 0; i--)); do
      eval "${qbx_exit_calls[i]}" || true
    done
  }
  on_exit() {
    qbx_exit_calls+=("$1")
    trap 'set +e; qbx_run_exit_calls' EXIT
  }
fi
