# Sourced by test.sh: a throwaway print server for the printing tests.
#
# cups_test_server_start starts a cupsd of its own whose configuration, spool,
# state, logs and printed PDF files live in one temporary folder and which
# listens only on a Unix socket there; CUPS_SERVER points the tests at it and
# CUPS_TEST_PDF_DIR names the folder where its PDF queues write
# "<title>-job_<id>.pdf". It adds these queues:
#   PDF        the default printer, writing PDF files into CUPS_TEST_PDF_DIR
#   Detenida   the same, stopped
#   Rechaza    the same, rejecting jobs
#   Aborta     a back end that always fails, with the abort-job error policy
# cups_test_server_stop stops it and removes the folder. The system's print
# server and its queues, /etc and the users' home folders are never touched:
# cups-pdf reads its settings from /etc and writes into the printing user's
# home, so the PDF queues use a back end of their own instead.

cups_test_server_stop() {
  if [ -n "${CUPS_TEST_DIR:-}" ] && [ -d "$CUPS_TEST_DIR" ]; then
    if [ -f "$CUPS_TEST_DIR/cupsd.pid" ]; then
      kill "$(cat "$CUPS_TEST_DIR/cupsd.pid")" 2>/dev/null || true
      for _ in $(seq 50); do
        kill -0 "$(cat "$CUPS_TEST_DIR/cupsd.pid")" 2>/dev/null || break
        sleep 0.1
      done
    fi
    rm -rf "$CUPS_TEST_DIR"
  fi
  unset CUPS_TEST_DIR CUPS_SERVER CUPS_TEST_PDF_DIR
}

cups_test_server_start() {
  local cupsd=/usr/sbin/cupsd
  local ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
  if [ ! -x "$cupsd" ] || [ ! -e "$ppd" ] || ! command -v gs >/dev/null; then
    echo "cups-test-server: cupsd, cups-pdf's PPD or Ghostscript missing; printing tests will be skipped" >&2
    return 0
  fi
  # cupsd runs its back ends as lp only when started by root.
  if [ "$(id -u)" -ne 0 ]; then
    echo "cups-test-server: not root; printing tests will be skipped" >&2
    return 0
  fi
  CUPS_TEST_DIR=$(mktemp -d /tmp/cups-test.XXXXXX)
  export CUPS_TEST_DIR
  local d=$CUPS_TEST_DIR
  # cupsd runs filters as lp: the folders must be reachable by it.
  chmod 755 "$d"
  mkdir -p "$d/spool/tmp" "$d/cache" "$d/state" "$d/log" "$d/ppd" "$d/ssl" "$d/bin/backend" "$d/pdf"
  chmod 1770 "$d/spool/tmp"
  # The back ends run as lp, which writes the PDF files.
  chown lp "$d/pdf"
  export CUPS_TEST_PDF_DIR="$d/pdf"
  # The server's programs are the system's, plus one back end that writes PDF
  # files into the folder its device URI names and one that fails.
  local sub
  for sub in cgi-bin daemon driver filter monitor notifier; do
    if [ -e "/usr/lib/cups/$sub" ]; then ln -s "/usr/lib/cups/$sub" "$d/bin/$sub"; fi
  done
  for sub in /usr/lib/cups/backend/*; do ln -s "$sub" "$d/bin/backend/"; done
  cat > "$d/bin/backend/falla" <<'EOF'
#!/bin/sh
# Lists no device; every job fails (CUPS_BACKEND_FAILED).
[ $# -eq 0 ] && exit 0
umask 022
cat > /dev/null
echo "ERROR: falla de prueba" >&2
exit 1
EOF
  chmod 755 "$d/bin/backend/falla"
  cat > "$d/bin/backend/carpetapdf" <<'EOF'
#!/bin/sh
# carpetapdf:/FOLDER writes each job, PostScript, as FOLDER/<title>-job_<id>.pdf
# through Ghostscript. The file appears whole: written aside, then renamed.
[ $# -eq 0 ] && exit 0
umask 022
folder=${DEVICE_URI#carpetapdf:}
title=$(printf '%s' "$3" | tr -c 'A-Za-z0-9._-' '_' | cut -c1-64)
out="$folder/${title:-sin_titulo}-job_$1.pdf"
gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=pdfwrite -dAutoRotatePages=/PageByPage \
   -sOutputFile="$out.part" -f "${6:--}" >&2 || { echo "ERROR: Ghostscript failed" >&2; exit 1; }
mv "$out.part" "$out"
EOF
  chmod 755 "$d/bin/backend/carpetapdf"

  cat > "$d/cups-files.conf" <<EOF
ServerRoot $d
ServerBin $d/bin
RequestRoot $d/spool
TempDir $d/spool/tmp
CacheDir $d/cache
StateDir $d/state
AccessLog $d/log/access_log
ErrorLog $d/log/error_log
PageLog $d/log/page_log
SystemGroup root
User lp
Group lp
EOF
  cat > "$d/cupsd.conf" <<EOF
Listen $d/cups.sock
Browsing No
LogLevel warn
DefaultAuthType None
WebInterface No
JobRetryLimit 0
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
  "$cupsd" -f -c "$d/cupsd.conf" -s "$d/cups-files.conf" </dev/null >/dev/null 2>"$d/log/cupsd.err" &
  echo $! > "$d/cupsd.pid"
  export CUPS_SERVER="$d/cups.sock"
  local i
  for i in $(seq 100); do
    [ -S "$CUPS_SERVER" ] && lpstat -r >/dev/null 2>&1 && break
    sleep 0.1
  done
  if ! lpstat -r >/dev/null 2>&1; then
    echo "cups-test-server: cupsd did not start" >&2
    cat "$d/log/cupsd.err" "$d/log/error_log" >&2 2>/dev/null || true
    return 1
  fi
  unset LPDEST PRINTER
  # cups-pdf distils PostScript; made through cairo, the PostScript keeps the
  # text's characters, so the PDF it writes can be read back as text.
  local pdf=(-P "$ppd" -o pdftops-renderer-default=pdftocairo)
  lpadmin -p PDF -E -v "carpetapdf:$d/pdf" "${pdf[@]}"
  lpadmin -d PDF
  lpadmin -p Detenida -E -v "carpetapdf:$d/pdf" "${pdf[@]}"
  cupsdisable Detenida
  lpadmin -p Rechaza -E -v "carpetapdf:$d/pdf" "${pdf[@]}"
  cupsreject Rechaza
  lpadmin -p Aborta -E -v falla:/ "${pdf[@]}" -o printer-error-policy=abort-job
}
