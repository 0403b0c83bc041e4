#!/usr/bin/env bash
# The main job on the embedded default: the SQL Server stand-in with demo data, a local SMTP catcher
# and the scheduler service dvsc in the foreground for one poll; then a summary of what it did.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/install-deps.sh >/dev/null
cmake --preset default >/dev/null
cmake --build --preset default --target uloha dvsc mssql-standin >/dev/null

demo=$root/build/demo
rm -rf "$demo" && mkdir -p "$demo/dvsc" "$demo/data" "$demo/mail" "$demo/zalohy"
cp build/default/setup/uloha "$demo/"
cp build/default/setup/dvsc/dvsc "$demo/dvsc/"

pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; wait 2>/dev/null || true; }
trap cleanup EXIT

# The stand-in's clock starts two seconds before 8:10, the minute the demo tasks are due.
build/default/tools/mssql-standin/mssql-standin --listen 127.0.0.1:0 --data "$demo/data" \
  --login sa:Heslo1 --database vorlak --server-name DEMO --clock '2026-12-11 08:09:58' > "$demo/standin.out" 2>&1 &
pids+=($!)
for _ in $(seq 100); do grep -q '^listening on' "$demo/standin.out" && break; sleep 0.1; done
port=$(sed -n 's/^listening on .*:\([0-9]*\)$/\1/p' "$demo/standin.out")

# The SMTP catcher stops when its standard input closes: keep a pipe open to it.
mkfifo "$demo/mail/stdin"
/usr/bin/python3 tests/peers/smtp/smtp_peer.py --dir "$demo/mail" --auth none < "$demo/mail/stdin" > "$demo/mail/peer.out" 2>&1 &
pids+=($!)
exec 7> "$demo/mail/stdin"
for _ in $(seq 100); do grep -q 'tls=' "$demo/mail/peer.out" && break; sleep 0.1; done
smtpport=$(sed -n 's/^tls=\([0-9]*\).*/\1/p' "$demo/mail/peer.out")

sql() { tsql -H 127.0.0.1 -p "$port" -U sa -P Heslo1 -D vorlak -o q 2>/dev/null; }
sql < tests/fixtures/host_database.sql >/dev/null
sed "s|@ZALOHY@|$demo/zalohy|" tests/fixtures/demo_tasks.sql | sql >/dev/null

# Plain settings seed the programs where no scrambled settings file exists (the setup tool writes that one).
settings="[con]
serverportle=127.0.0.1,$port
jmenole=sa
heslole=Heslo1
databazecb=vorlak
[mail]
osobale=Servis Vorlák
smtpfromle=servis@servis-vorlak.example
smtpserverle=127.0.0.1
smtpportle=$smtpport
[setup]
chatusercb=recepce
dvscse=2"
printf '%s\n' "$settings" > "$demo/dorvik.ini"
printf '%s\n' "$settings" > "$demo/dvsc/dorvik.ini"

echo "dvsc polls every 2 s; the demo tasks are due at 8:10 on the server's clock..."
"$demo/dvsc/dvsc" > "$demo/dvsc.out" 2>&1 &
dvsc=$!
pids+=($dvsc)
for _ in $(seq 300); do
  launched=$(grep -c 'uloha;' "$demo/dvsc/dvsc.log" 2>/dev/null || true)
  [ "${launched:-0}" -ge 3 ] && ! pgrep -f "$demo/dvsc/../uloha" >/dev/null && break
  sleep 0.1
done
sleep 1.5
kill "$dvsc"; wait "$dvsc" 2>/dev/null || true

echo
echo "== Reminders sent by e-mail"
for f in "$demo"/mail/[0-9]*.txt; do
  [ -e "$f" ] || continue
  subject=$(sed -n 's/^header.subject=//p' "$f"); to=$(sed -n 's/^header.to=//p' "$f")
  text=$(sed -n 's/^part.1.text=//p' "$f" | sed 's/\\r\\n$//')
  echo "- \"$subject\" to $to: $text"
done
echo
echo "== Messages in the shop's chat"
echo "select u.uzivatel, z.zprava from chat c join zpravychat z on z.idzprava=c.idzpravy join users u on u.userid=c.idkomu order by c.id
go" | sql | tail -n +2 | sed 's/\t/: /; s/^/- /'
echo
echo "== Backups in $demo/zalohy"
ls -l "$demo/zalohy" | tail -n +2 | awk '{print "- " $NF " (" $5 " bytes)"}'
echo
echo "== Service log dvsc/dvsc.log"
cat "$demo/dvsc/dvsc.log"
echo
echo "== Run log dvlog.txt (failures only)"
cat "$demo/dvlog.txt" 2>/dev/null || echo "(empty: every task ran without failure)"
echo
echo "Everything is in $demo: the mails as .eml files in mail/, the stand-in's databases in data/,"
echo "the backup in zalohy/, the logs dvlog.txt and dvsc/dvsc.log."
