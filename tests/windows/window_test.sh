#!/usr/bin/env bash
# Runs one window test program under Wine on Qt's offscreen platform and shows its report.
# Under Wine a Qt Test program's report on standard output is lost, so it goes to a file that
# is shown afterwards; the program's exit status is the test's.
#   window_test.sh WINE PROGRAM.exe REPORT.txt [TEST ARGUMENTS...]
set -u
wine=$1 program=$2 report=$3
shift 3
rm -f "$report"
# Wine hands no variable whose name begins with QT_ to the program: the platform is named on
# its command line.
"$wine" "$program" -platform offscreen -o "$report,txt" "$@"
status=$?
if [[ -f $report ]]; then
  tr -d '\r' <"$report"
else
  echo "window_test: $program wrote no report (status $status)"
  ((status != 0)) || status=1
fi
exit "$status"
