# Sourced by the live tests. Runs a command until it succeeds, for up to ten seconds:
# the server and the client get that long for any step.
eventually() {
  for _ in $(seq 100); do
    if "$@"; then return 0; fi
    sleep 0.1
  done
  return 1
}
