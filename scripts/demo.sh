#!/usr/bin/env bash
# Prepares a demonstration installation in demo/ (beside this script's repository) and starts the
# program on it: configuration "Quarn.XIX" for the local database, the database file with sample
# floors, categories, rooms and operators, and a few background pictures. A second run keeps what
# is there (delete demo/ to start afresh).
#
#   bash scripts/demo.sh BUILD_DIR [--prepare-only]
#
# Without a display (DISPLAY empty) the program is not started; the script prints how to run it
# under Xvfb instead, since the About box and the login wait for a person.
set -euo pipefail

build=${1:-build}
prepare_only=${2:-}
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
case "$build" in /*) ;; *) build="$repo/$build" ;; esac
demo="$repo/demo"
lumvard="$build/src/lumvard"
config_tool="$build/tools/lumvard-config"
mkdb_tool="$build/tools/lumvard-mkdb"
python=/usr/bin/python3

db_name=Lumvard
org_name="东湖宾馆"
super_password=admin

for f in "$lumvard" "$config_tool" "$mkdb_tool"; do
  [ -x "$f" ] || { echo "demo: $f is missing; build first (make build BUILD=${1:-build})" >&2; exit 1; }
done

mkdir -p "$demo/MainImg"
export LUMVARD_PROGRAM_DIR="$demo"
# Connection settings of this installation stay inside it.
export LUMVARD_SETTINGS_FILE="$demo/settings.ini"

if [ ! -f "$demo/Quarn.XIX" ]; then
  "$config_tool" "$demo/Quarn.XIX" create
  "$config_tool" "$demo/Quarn.XIX" set DBType Access
  "$config_tool" "$demo/Quarn.XIX" set XDBName "$db_name"
  "$config_tool" "$demo/Quarn.XIX" set DanWeiMingCheng "$org_name"
  "$config_tool" "$demo/Quarn.XIX" set SuperOperPassword "$super_password"
  echo "demo: wrote $demo/Quarn.XIX"
fi

if [ ! -f "$demo/$db_name.mdb" ]; then
  "$mkdb_tool" "$demo/$db_name.mdb"
  # Sample rows, written through Python's sqlite3 module (no sqlite3 command on this machine).
  "$python" - "$demo/$db_name.mdb" <<'PY'
import sqlite3, sys
db = sqlite3.connect(sys.argv[1])
c = db.cursor()
c.executemany("insert into LCK (F101_01, F101_02) values (?, ?)",
              [("001", "一楼"), ("002", "二楼"), ("003", "三楼")])
c.executemany("insert into LBK (F102_01, F102_02) values (?, ?)",
              [("001", "标准间"), ("002", "单人间"), ("003", "套房")])
rooms = []
for floor, fname in ((1, "一楼"), (2, "二楼"), (3, "三楼")):
    for n in range(1, 7):
        kind, price = (("标准间", 180.0), ("单人间", 120.0), ("套房", 380.0))[(n - 1) % 3]
        status = "修理中" if (floor, n) == (3, 6) else "空房间"
        rooms.append(("%02d%02d" % (floor, n), kind, fname, status, price))
c.executemany("insert into FJK (F103_01, F103_02, F103_03, F103_04, F103_05) values (?, ?, ?, ?, ?)", rooms)
full = ("客房管理;添加新客房;删除旧客房;编辑客房;客房查询;销售管理;客房预定;预定转入住;取消预定;预定查询;"
        "前台收银;入住登记;补交押金;退房登记;客房登记查询;退房登记查询;修改流水;修改预定流水;修改客房收入流水;"
        "修改入住流水;经理查询;客房状态图;客房收入日趋势分析;客户收入月均势分析;报表;预定现金日报表;入住现金日报表;"
        "客房收入日报表;预定现金期间报表;入住现金期间报表;客房收入期间报表;系统维护;操作员设置;口令设置;数据备份;")
desk = "销售管理;客房预定;预定转入住;取消预定;预定查询;前台收银;入住登记;补交押金;退房登记;客房登记查询;退房登记查询;"
c.executemany("insert into CZYK (F107_01, F107_02, F107_03, F107_04) values (?, ?, ?, ?)",
              [(1001, "张经理", "1001", full), (1002, "李前台", "", desk)])
db.commit()
db.close()
PY
  echo "demo: wrote $demo/$db_name.mdb with sample floors, categories, rooms and operators"
fi

# Background pictures for the picture show: the program's own drawings.
for p in about login; do
  [ -f "$demo/MainImg/$p.png" ] || cp "$repo/src/resources/$p.png" "$demo/MainImg/$p.png"
done

cat <<TXT
demo: ready in $demo
  operators: 1001|张经理 (口令 1001, all rights), 1002|李前台 (no password, front desk only)
  super-operator password: $super_password
TXT

[ "$prepare_only" = "--prepare-only" ] && exit 0

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat <<TXT
demo: no display (DISPLAY is empty), so the program is not started. Run it on a desktop with
  LUMVARD_PROGRAM_DIR="$demo" LUMVARD_SETTINGS_FILE="$demo/settings.ini" "$lumvard"
or without one, under a virtual screen, saving a screenshot of every window into demo/shots:
  LUMVARD_PROGRAM_DIR="$demo" LUMVARD_SETTINGS_FILE="$demo/settings.ini" LUMVARD_SNAPSHOT_DIR="$demo/shots" \\
    xvfb-run -a -s '-screen 0 1280x800x24' "$lumvard"
TXT
  exit 0
fi

cd "$demo"
exec "$lumvard"
