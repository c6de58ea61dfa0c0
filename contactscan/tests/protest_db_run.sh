#!/usr/bin/env bash
# Runs a protest script the way the league's site does, against a MariaDB
# server of its own that listens only on a socket in a temporary folder. The
# server is set up as a stock Debian one: utf8mb4 is its default character
# set, also for connections that name none, and it runs in strict mode.
#   protest_db_run.sh SCRIPT.php OUTDIR
# The site is stood in for by "../basefiles/_functions.inc" (nextrace() and
# the old mysql_* functions written on mysqli, naming no character set) and
# "../archiv/db.inc". Three databases each hold the table kvrl_protestsystem
# with three rows beforehand: race 299 of grid 2 (the newest entered), race
# 305 of grid 3 and a driver's protest for race 310 of grid 2.
#   latin1   the table in latin1
#   utf8mb4  the table in utf8mb4
#   short    a latin1 table whose protest column holds only 44 characters
# The script is run twice against each. Written to OUTDIR/DATABASE: run1.out,
# run2.out (what PHP printed), rows1.tsv, rows2.tsv (idRace, idGrid, idDriver,
# HEX(protest) in the table's character set, analysiert, Analysator of every
# row, after each run); and to OUTDIR/charset.out the character set of a
# connection the stand-ins open.
# Exit codes: 0 done, 77 PHP or MariaDB not installed, 1 failure.
set -u
script="$1"
out="$2"

find_tool() {
  local name
  for name in "$@"; do
    PATH="$PATH:/usr/sbin:/usr/local/sbin" command -v "$name" && return 0
  done
  return 1
}
skip() { echo "skipped: $1"; exit 77; }
fail() { echo "failed: $1" >&2; [ -f "${work:-}/db.err" ] && tail -n 20 "$work/db.err" >&2; exit 1; }

php=$(find_tool php) || skip "php not found (Debian package php-cli)"
"$php" -r 'exit(function_exists("mysqli_connect") ? 0 : 1);' || skip "PHP has no mysqli (Debian package php-mysql)"
server_bin=$(find_tool mariadbd mysqld) || skip "mariadbd not found (Debian package mariadb-server)"
install_db=$(find_tool mariadb-install-db mysql_install_db) || skip "mariadb-install-db not found (mariadb-server)"
client=$(find_tool mariadb mysql) || skip "mariadb client not found (mariadb-client)"
admin=$(find_tool mariadb-admin mysqladmin) || skip "mariadb-admin not found (mariadb-client)"

work=$(mktemp -d "${TMPDIR:-/tmp}/zrdb-XXXXXX") || fail "no temporary folder"
sock="$work/db.sock"
server=""
cleanup() {
  if [ -n "$server" ]; then
    timeout 30 "$admin" --no-defaults -uroot --socket="$sock" shutdown > /dev/null 2>&1
    for _ in $(seq 1 60); do kill -0 "$server" 2> /dev/null || break; sleep 0.5; done
    kill "$server" 2> /dev/null
    wait "$server" 2> /dev/null
  fi
  rm -rf "$work"
}
trap cleanup EXIT

sql() { timeout 30 "$client" --no-defaults -uroot --socket="$sock" -N -B -e "$1"; }

timeout 120 "$install_db" --no-defaults --user=root --datadir="$work/data" --auth-root-authentication-method=normal \
  --skip-test-db > "$work/install.log" 2>&1 || { cat "$work/install.log" >&2; fail "mariadb-install-db"; }
# The server ends by itself after five minutes should the shutdown fail.
timeout 300 "$server_bin" --no-defaults --user=root --datadir="$work/data" --socket="$sock" --skip-networking \
  --pid-file="$work/db.pid" --log-error="$work/db.err" --character-set-server=utf8mb4 \
  --collation-server=utf8mb4_general_ci --sql-mode=STRICT_TRANS_TABLES,NO_ENGINE_SUBSTITUTION &
server=$!
for _ in $(seq 1 120); do
  sql "SELECT 1" > /dev/null 2>&1 && break
  kill -0 "$server" 2> /dev/null || fail "the server ended at its start"
  sleep 0.5
done
sql "SELECT 1" > /dev/null 2>&1 || fail "the server did not come up within 60 s"

databases="latin1 utf8mb4 short"
create_league() {  # DATABASE CHARSET PROTEST_COLUMN_TYPE
  sql "CREATE DATABASE $1;
       CREATE TABLE $1.kvrl_protestsystem (id INT AUTO_INCREMENT PRIMARY KEY, idRace INT NOT NULL,
         idGrid INT NOT NULL, idDriver INT NULL, protest $3, analysiert VARCHAR(1), Analysator INT)
         CHARACTER SET $2;
       INSERT INTO $1.kvrl_protestsystem (idRace, idGrid, idDriver, protest, analysiert, Analysator) VALUES
         (299, 2, NULL, 'older race', '1', 3), (305, 3, NULL, 'other grid', '0', 0),
         (310, 2, 7, 'a driver''s protest', '0', 0);" || fail "creating database $1"
}
create_league latin1 latin1 TEXT
create_league utf8mb4 utf8mb4 TEXT
create_league short latin1 "VARCHAR(44)"

site_functions() {
  cat <<'PHP'
<?php
// Stand-ins for the league site: the next race, and the mysql_* functions of
// old PHP written on mysqli (without exceptions, as mysql_* had none). Like
// the old functions they name no character set: the server's default holds.
mysqli_report(MYSQLI_REPORT_OFF);
function nextrace() { return array('id' => 301); }
function mysql_connect($host, $user, $pass) {
    global $socket, $mysqlLink;
    $mysqlLink = mysqli_connect($host, $user, $pass, '', 0, $socket);
    return $mysqlLink;
}
function mysql_error() {
    global $mysqlLink;
    return $mysqlLink ? mysqli_error($mysqlLink) : mysqli_connect_error();
}
function mysql_select_db($database) { global $mysqlLink; return mysqli_select_db($mysqlLink, $database); }
function mysql_query($sql) { global $mysqlLink; return mysqli_query($mysqlLink, $sql); }
function mysql_fetch_array($result) { return mysqli_fetch_array($result); }
function mysql_close($link) { return mysqli_close($link); }
PHP
}

make_site() {  # FOLDER DATABASE
  mkdir -p "$1/basefiles" "$1/archiv" "$1/protest"
  site_functions > "$1/basefiles/_functions.inc"
  cat > "$1/archiv/db.inc" <<PHP
<?php
\$host = 'localhost';
\$user = 'root';
\$pass = '';
\$database = '$2';
\$socket = '$sock';
PHP
}

mkdir -p "$out"
make_site "$work/probe" latin1
cat > "$work/probe/protest/charset.php" <<'PHP'
<?php
require("../basefiles/_functions.inc");
require("../archiv/db.inc");
mysql_connect($host, $user, $pass);
$row = mysql_fetch_array(mysql_query("SELECT @@character_set_connection"));
echo $row[0];
PHP
(cd "$work/probe/protest" && timeout 60 "$php" charset.php) > "$out/charset.out" 2>&1

for db in $databases; do
  site="$work/site-$db"
  make_site "$site" "$db"
  cp "$script" "$site/protest/" || fail "no script $script"
  mkdir -p "$out/$db"
  rows="SELECT idRace, idGrid, IFNULL(idDriver, 'NULL'), HEX(protest), analysiert, Analysator
        FROM $db.kvrl_protestsystem ORDER BY id"
  for n in 1 2; do
    (cd "$site/protest" && timeout 60 "$php" "$(basename "$script")") > "$out/$db/run$n.out" 2>&1
    sql "$rows" > "$out/$db/rows$n.tsv" || fail "reading the rows of $db"
  done
done
exit 0
