#!/usr/bin/env bash
# Writes a small SQLite database for trying the Database tab:
#   scripts/make-sample-db.sh [FILE]      (default: sample.db in the current folder)
# Table "run7": a record every 250 ms from 07:00:00 to 07:05:00 on 1 March 2024,
# with the time as text in "stamp" and the numbers "speed" and "temperature".
set -euo pipefail
file="${1:-sample.db}"
rm -f "$file"
sqlite3 "$file" <<'SQL'
create table run7 (stamp text, speed real, temperature real);
insert into run7
  with recursive n(i) as (select 0 union all select i + 1 from n where i < 1200)
  select strftime('%Y-%m-%d %H:%M:%f', '2024-03-01 07:00:00', '+' || (i * 0.25) || ' seconds'),
         round(20 + 5 * sin(i / 40.0), 3), round(18 + i / 200.0, 3)
  from n;
SQL
echo "Wrote $file: connect with"
echo "  Provider=Microsoft.Jet.OLEDB.4.0;Data Source=$(cd "$(dirname "$file")" && pwd)/$(basename "$file");"
