#!/usr/bin/env bash
# dorvent-calc from the outside: what it prints and its exit status for files that compute, that
# fail in a segment, that it refuses, and for its command line. Arguments: the program, docs/examples.
set -uo pipefail
calc=$1
examples=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cp "$examples"/*.dorvent "$tmp"/
cd "$tmp" || exit 1  # file names without blanks from here on, so that a case's arguments split on blanks
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# The worked case followed by a segment that the pressure does not reach the end of.
second='{"label": "B-C", "pipe": {"dn": 200, "outerDiameter": null, "wall": null}, "length": 5000, "flow": 10,'
second+=' "zeta": 0.2, "beta": 0.2, "phi": 1, "ambient": 20, "dropPerKm": 5, "heatLoss": {"source": "overhead", "value": null}}'
sed "0,/^    }\$/s//    },\n    $second/" worked-case.dorvent >second-fails.dorvent
sed 's/"version": [12]/"version": 7/' worked-case.dorvent >version7.dorvent
echo '管段 A-B 长度 250' >not-json.dorvent
# The park at its design load alone, without its summer case.
sed -e '/"designCase"/,/^  \],$/d' -e 's/"version": 5/"version": 4/' industrial-park.dorvent >park.dorvent
sed 's/"requiredPressure": 1,/"requiredPressure": 1.01,/' park.dorvent >short.dorvent  # 制药厂 gets 1.003 MPa
sed 's/"superheatMargin": 5,/"superheatMargin": 150,/' park.dorvent >superheat.dorvent  # short of that only
head -c 16777217 /dev/zero | tr '\0' ' ' >too-large.dorvent  # one byte beyond 16 MB
printf '%s' '{"format": "dorvent-pipeline", "version": 1, "project": "", "designer": "", "start": {"pressure": null,
  "pressureUnit": "MPa", "temperature": 250, "temperatureUnit": "℃"}, "superheatMargin": 5, "segments": []}' >no-start.dorvent
# The park with a trunk too long for its pressure and a pipe away from the source; and with 25 t/h typed on its trunk.
orphan='{"label": "孤立", "from": "X", "to": "Y", "pipe": {"dn": 200, "outerDiameter": null, "wall": null}, "length": 100,'
orphan+=' "flow": 5, "zeta": 0.2, "beta": 0.2, "phi": 1, "ambient": 20, "dropPerKm": 5, "heatLoss": {"source": "overhead", "value": null, "construction": ""}}'
sed -e "/\"segments\": \[/,/^    },\$/{/^    },\$/s//    },\n    $orphan,/}" -e '0,/"length": 1200,/s//"length": 120000,/' \
    park.dorvent >broken-park.dorvent
sed '0,/"flow": null,/s//"flow": 25,/' park.dorvent >low-trunk.dorvent
# The wet branch by the heat-loss law, its lowest dryness set: which law, and the branch it cannot compute.
sed -e 's/"enthalpyBalance"/"heatLoss"/' -e 's/"lowestDryness": 0.8/"lowestDryness": 0.9/' wet-branch.dorvent >heat-loss-branch.dorvent
# The report is never written over a folder or the file it comes from (under its own name or another).
mkdir reports
ln worked-case.dorvent hard-link.pdf
cp worked-case.dorvent input.copy

worked='末端压力(MPa) 0.978|末端温度(℃) 240.801|热损失(kW) 56.718|温度降(℃) 9.199|每km温降(℃) 36.796|平均比摩阻(Pa/m) 89.525'
worked+='|说明 提示：起点流速 19.210 m/s 低于 DN200 的允许范围 30–50 m/s'
# status, stream, texts that must all be in it (separated by '|'), arguments
cases=(
    0 stdout "$worked" worked-case.dorvent
    0 stdout "管段 6 E-F|合计" steam-main.dorvent
    1 stdout "$worked|管段 2 B-C|  压降过大，使末端蒸汽不属于过热蒸汽，不能用本程序计算" second-fails.dorvent
    2 stderr "not-json.dorvent：文件不是有效的 JSON 文档（第 1 行）" not-json.dorvent
    2 stderr "字段 version：本程序只能读取版本 1、2、3、4、5 和 6 的管线文件" version7.dorvent
    2 stderr "文件不存在" missing.dorvent
    2 stderr "文件过大：管线文件不超过 16 MB" too-large.dorvent
    1 stdout "起点 请输入起点压力" no-start.dorvent
    0 stdout "管段 1 干线1|  流量(t/h) 94（求和）|节点 制药厂 用户|  压力裕量(MPa) 0.003|最不利用户 制药厂|路径 热电厂 → N1 → N2 → B2 → 制药厂" park.dorvent
    1 stdout "【工况】设计工况|【工况】夏季最小负荷|管段 16 酒店支线|  流量(t/h) 0.75|夏季最小负荷：酒店，管段 16 未能算出|全部工况：酒店，管段 16 未能算出（夏季最小负荷）" industrial-park.dorvent
    0 stdout "最不利用户 制药厂" "industrial-park.dorvent --case 设计工况"
    1 stdout "【工况】夏季最小负荷|  流量(t/h) 28.2（求和）|最不利用户 酒店" "industrial-park.dorvent --case 夏季最小负荷"
    1 stdout "工况,节点,类型,|夏季最小负荷,制药厂,用户,2.4,1,," "industrial-park.dorvent --case 夏季最小负荷 --nodes-csv"
    2 stderr "--case 与 --size 不能同时使用" "industrial-park.dorvent --case 夏季最小负荷 --size x.dorvent"
    2 stderr "文件中没有名为“冬季”的工况（有：设计工况、夏季最小负荷）" "industrial-park.dorvent --case 冬季"
    1 stdout "工况,节点,类型,用汽量(t/h),|设计工况,制药厂,用户,8,1,,1.003,|夏季最小负荷,制药厂,用户,2.4,1,," "--nodes-csv industrial-park.dorvent"
    1 stdout "自动选管：以下要求不能满足，管径未改：|【夏季最小负荷】管段 2“造纸支线”：其路径上可选的管段都取最大管径时不能计算" "industrial-park.dorvent --size all-cases.dorvent"
    0 stdout "  流量(t/h) 49.637（求解）|  流量(t/h) -8.116（求解）|汽源份额 一厂 78.5%，二厂 21.5%|管网求解 收敛|  热源 二厂（定压） 供汽 20.863 t/h" two-plant-ring.dorvent
    0 stdout "节点,类型,用汽量(t/h),要求压力(MPa),要求温度(℃),热源,热源压力(MPa),热源温度(℃),热源流量(t/h),压力(MPa)|二厂,热源,,,,定压,1.25,290,,1.250," "two-plant-ring.dorvent --nodes-csv"
    1 stdout "自动选管只用于单一热源的枝状管网" "two-plant-ring.dorvent --size ring-sized.dorvent"
    1 stdout "说明 压力不足" short.dorvent
    1 stdout "节点 制药厂 用户|  说明 过热度不足" superheat.dorvent
    0 stdout "节点,类型,用汽量(t/h),|制药厂,用户,8,1,,1.003," "--nodes-csv park.dorvent"
    1 stdout "N1,分支点,,,,,,,,,,管段 1 未能算出|制药厂,用户,8,1,,,,,,,,未计算|X,用户,,,,,,,,,,未与汽源相连|Y,用户,,,,,,,,,,未与汽源相连" "--nodes-csv broken-park.dorvent"
    0 stdout "管段 1 干线1|  流量(t/h) 25|说明 流量 25 t/h 小于节点“N1”流出的 94 t/h" low-trunk.dorvent
    1 stdout "温降计算：按焓平衡|管段 1 干线|  按热损失末端温度(℃) 190.474|管段 3 乙支线|  干度 0.820|  凝结水(t/h) 0.090|  饱和点距起点(m) 86|合计|  凝结水(t/h) 0.090|节点 用户乙 用户|  说明 过热度不足：到达的是湿蒸汽（干度 0.820）" wet-branch.dorvent
    1 stdout ",温度裕量(℃),干度,凝结水(t/h),说明|用户乙,用户,0.5,0.25,,0.301,133.583,133.583,0.000,0.051,,0.820,0.090,过热度不足" "--nodes-csv wet-branch.dorvent"
    1 stdout ",末端过热度(℃),干度,凝结水(t/h),饱和点距起点(m),按热损失末端温度(℃),说明|,0.000,0.820,0.090,86,,末端为湿蒸汽（干度 0.820）|合计,,,,,,,2500,4,,,,,,,,,,,,,,,,,115.207,,,0.090,,," "--csv wet-branch.dorvent"
    1 stdout "设计人 |温降计算：按热损失|管段 3 乙支线|  压降过大，使末端蒸汽不属于过热蒸汽，不能用本程序计算" heat-loss-branch.dorvent
    2 stderr "未知选项" --bogus
    2 stderr "请给出一个管线文件" ""
    2 stderr "请给出一个管线文件" "worked-case.dorvent steam-main.dorvent"
    0 stdout ",0.978,240.801,|合计,,,,,,,250," "--csv worked-case.dorvent"
    0 stdout "用法|退出状态|干度|凝结水合计" --help
    2 stderr "dorvent-calc：reports：这是一个文件夹" "worked-case.dorvent --pdf reports"
    2 stderr "dorvent-calc：worked-case.dorvent：这是管线文件本身" "worked-case.dorvent --pdf worked-case.dorvent"
    2 stderr "dorvent-calc：hard-link.pdf：这是管线文件本身" "worked-case.dorvent --pdf hard-link.pdf"
)
for ((i = 0; i < ${#cases[@]}; i += 4)); do
    status=${cases[i]} stream=${cases[i + 1]} texts=${cases[i + 2]}
    read -ra arguments <<<"${cases[i + 3]}"
    "$calc" "${arguments[@]}" >stdout 2>stderr
    got=$?
    [ "$got" -eq "$status" ] || fail "${arguments[*]}: status $got, not $status"
    [ "$status" -ne 2 ] || [ ! -s stdout ] || fail "${arguments[*]}: refused, yet printed results"
    IFS='|' read -ra wanted <<<"$texts"
    for text in "${wanted[@]}"; do
        grep -qF -- "$text" "$stream" || fail "${arguments[*]}: no \"$text\" in $stream: $(head -c 400 "$stream")"
    done
done

# Files that do not set the temperature law do not say it, as they never did.
for file in worked-case steam-main industrial-park insulated-main; do
    "$calc" $file.dorvent | grep -q '温降计算' && fail "$file: a temperature law line"
done
# No segment of the steam main falls below the superheat margin, and every one computes.
"$calc" steam-main.dorvent | grep -E '未计算|过热度低于' && fail "steam main: a segment not computed or flagged"
# Every node of the broken park, behind the failed trunk or away from the source, has its line.
[ "$("$calc" --nodes-csv broken-park.dorvent | wc -l)" -eq 23 ] || fail "--nodes-csv: not every node has its line"
# The CSV header comes first, lines end in CR LF.
"$calc" --csv worked-case.dorvent >csv
head -n 1 csv | grep -q $'^管段,起点,终点,公称直径,.*,说明\r$' || fail "CSV header line"

# The report without a display: the start state and every end state as the table shows them.
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$calc" steam-main.dorvent --pdf report.pdf >/dev/null ||
    fail "--pdf: status $?"
pdftotext -layout report.pdf report.txt || fail "--pdf: no readable PDF"
for value in $("$calc" --csv steam-main.dorvent | sed '1d;$d' | cut -d, -f22,23 | tr , ' '); do  # end pressures, temperatures
    grep -qF -- "$value" report.txt || fail "--pdf: no end state $value in the report"
done
grep -q '蒸汽属于区域2：过热蒸汽' report.txt || fail "--pdf: no start state in the report"
! grep -q '固定' report.txt || fail "--pdf: a series main's report has a 固定 column"

# The report is written whole or not at all: the targets refused above are as they were.
cmp -s worked-case.dorvent input.copy && [ -z "$(ls -A reports)" ] || fail "--pdf: a refused target was written"
# Past a file-size limit (8 KiB, well below the report) the write fails: the old report stays.
printf 'old report' >old.pdf
(ulimit -f 8; "$calc" steam-main.dorvent --pdf old.pdf >/dev/null 2>stderr)
got=$?
[ "$got" -eq 2 ] && grep -qF "old.pdf：无法写入计算书" stderr || fail "--pdf past a size limit: status $got, $(cat stderr)"
[ "$(cat old.pdf)" = "old report" ] && [ "$(ls | grep -c '^old\.pdf')" -eq 1 ] ||
    fail "--pdf past a size limit: the old report was changed, or a temporary file was left"

# A desktop's platform inherited without its display, and no runtime folder: the report is
# written all the same, and standard error stays empty.
env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_RUNTIME_DIR QT_QPA_PLATFORM=xcb "$calc" worked-case.dorvent --pdf x.pdf \
    >/dev/null 2>stderr
got=$?
[ "$got" -eq 0 ] && [ ! -s stderr ] && [ -s x.pdf ] || fail "QT_QPA_PLATFORM=xcb: status $got, $(head -c 300 stderr)"

# Sizing: the sized network is written and computes, with the DN each "→" line gives; a network
# that cannot be served exits 1 and writes nothing; the input is never the output.
"$calc" park.dorvent --size sized.dorvent >sizing.txt
got=$?
[ "$got" -eq 0 ] && grep -q '^钢材总质量：.* kg → .* kg$' sizing.txt || fail "--size: status $got, $(head -c 300 sizing.txt)"
"$calc" sized.dorvent >/dev/null || fail "--size: the sized network does not serve every node"
"$calc" --csv sized.dorvent >sized.csv
[ "$(grep -c ' → DN' sizing.txt)" -ge 3 ] || fail "--size: fewer than three pipes resized"
grep ' → DN' sizing.txt | sed -E 's/^管段 ([0-9]+).* → (DN[0-9]+)$/\1 \2/' | while read -r row dn; do
    [ "$(sed -n "$((row + 1))p" sized.csv | cut -d, -f4)" = "$dn" ] || echo "FAIL: --size: pipe $row is not $dn"
done 2>&1 | grep -q FAIL && fail "--size: the file does not hold the sizes printed"
# No pipe larger than its feed, unless --no-telescoping lets it be (the example's 医院支线 then is, with
# every pipe's heat loss from the table).
larger_than_feed() {
    "$calc" --csv "$1" | awk -F, 'NR > 1 && $2 != "" { dn[$3] = substr($4, 3) + 0; from[NR] = $2; own[NR] = substr($4, 3) + 0 }
        END { for (r in from) if (from[r] in dn && own[r] > dn[from[r]]) n++; print n + 0 }'
}
[ "$(larger_than_feed sized.dorvent)" -eq 0 ] || fail "--size: a pipe larger than its feed"
sed -e 's/"source": "insulated"/"source": "overhead"/' -e 's/"construction": "[^"]*"/"construction": ""/' park.dorvent >tabled.dorvent
"$calc" tabled.dorvent --size loose.dorvent --no-telescoping >/dev/null
[ "$(larger_than_feed loose.dorvent)" -gt 0 ] || fail "--size --no-telescoping: every pipe still within its feed"
sed 's/"requiredPressure": 1,/"requiredPressure": 1.6,/' park.dorvent >unservable.dorvent  # all the source has
"$calc" unservable.dorvent --size never.dorvent >stdout 2>stderr
got=$?
[ "$got" -eq 1 ] && grep -q '^自动选管：以下要求不能满足，管径未改：$' stdout && grep -q '^用户“制药厂”：即使其路径上可选的管段都取最大管径，压力也只有' stdout &&
    [ ! -e never.dorvent ] || fail "--size, unservable: status $got, $(head -c 300 stdout)"
# Sizing under 按焓平衡: the wet branch in catalogue pipes, DN100 to 1.8 t/h over 450 m, is wet at its end with the
# trunk fixed; DN70 keeps the 5 ℃ margin (10.76 ℃ by tests/data/wetsteam_reference.py), and the file keeps its law.
sed -z -e 's/"dn": null,\n *"outerDiameter": 159,\n *"wall": 4.5,\n *"fixed": false/"dn": 150, "outerDiameter": null, "wall": null, "fixed": true/' \
    -e 's/"dn": null,\n *"outerDiameter": [0-9]*,\n *"wall": [0-9.]*,/"dn": 100, "outerDiameter": null, "wall": null,/g' \
    -e 's/"length": 500,/"length": 100,/2' -e 's/"length": 1500,/"length": 450,/' -e 's/"demand": 0.5,/"demand": 1.8,/' \
    wet-branch.dorvent >wet-catalogue.dorvent
"$calc" wet-catalogue.dorvent >wet.txt
grep -q '说明 过热度不足：到达的是湿蒸汽' wet.txt || fail "--size under 按焓平衡: the branch is not wet before"
"$calc" wet-catalogue.dorvent --size dry.dorvent >stdout 2>stderr
got=$?
[ "$got" -eq 0 ] && grep -qF '管段 3“乙支线”（N1 → 用户乙）：DN100 → DN70' stdout && "$calc" dry.dorvent >dry.txt &&
    grep -q '^温降计算：按焓平衡$' dry.txt && ! grep -q '^  干度' dry.txt || fail "--size under 按焓平衡: status $got, $(head -c 300 stdout)"
"$calc" industrial-park.dorvent --size industrial-park.dorvent >stdout 2>stderr
[ $? -eq 2 ] && grep -q '这是管线文件本身' stderr && cmp -s industrial-park.dorvent "$examples/industrial-park.dorvent" ||
    fail "--size onto its own file: $(cat stderr)"

[ "$failures" -eq 0 ] && echo "dorvent-calc: all cases as expected"
exit $((failures > 0))
