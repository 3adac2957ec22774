#!/usr/bin/env python3
"""Writes the statistic pages of the help and its contents (data/help).

    scripts/help_pages/make_pages.py build/dev/src/cli/tessara-cli [OUT_DIR]

The worked examples run on a small archive of six draws made with the given
tessara-cli, so every value a page shows is the program's own; each one is
also worked out from the definitions (stats_model.py) and the script stops
when the two disagree. The task pages (archive.htm, statistics.htm, ...) are
written by hand and are only linked from here."""

import html
import os
import re
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import stats_model as M  # noqa: E402
from texts import FAMILY_NOTES, FEATURE_TEXT, GROUPS  # noqa: E402
from topics import T as TOPICS  # noqa: E402

DRAWS = [(1201, [2, 9, 17, 23, 31, 40], 4, "05 марта 2024"),
         (1202, [5, 9, 12, 20, 26, 33], 1, "09 марта 2024"),
         (1203, [1, 9, 16, 26, 35, 42], 8, "12 марта 2024"),
         (1204, [7, 12, 16, 21, 33, 39], 3, "16 марта 2024"),
         (1205, [4, 12, 19, 26, 33, 41], 6, "19 марта 2024"),
         (1206, [3, 12, 13, 14, 26, 37], 5, "23 марта 2024")]
NUMBERS = [d[1] for d in DRAWS]
LAST_NO, LAST, LAST_EXTRA = DRAWS[-1][0], DRAWS[-1][1], DRAWS[-1][2]
SEG2 = [1] * 21 + [2] * 21
FORMULAS = ["(n1+n2+n3)/(n4+n5+n6)", "(n4+n5+n6)/(n1+n2+n3)", "(n1+n3+n5)/(n2+n4+n6)"]

TASK_PAGES = [
    ("archive.htm", "Архив тиражей: ввод, CSV, загрузка"),
    ("statistics.htm", "Таблица статистики и фильтрация"),
    ("combinations.htm", "Список комбинаций"),
    ("scenario.htm", "Сценарии: формат строки и коды"),
    ("stakes.htm", "Ставки"),
    ("ratings.htm", "Рейтинг"),
    ("regulars.htm", "Регулярные ставки"),
    ("views.htm", "Графики, карта, схема, неделя"),
    ("systems.htm", "Системы и проверка гарантий"),
    ("online.htm", "Прокси, online-каталог, обновление"),
    ("cli.htm", "Командная строка"),
]


def run(cli, data_dir, *args):
    r = subprocess.run([cli, "--data-dir", data_dir, *args], capture_output=True, text=True)
    if r.returncode != 0:
        raise SystemExit(f"{' '.join(args)}: {r.stderr}")
    return r.stdout


def make_archive(cli, folder, segments):
    os.makedirs(folder)
    for no, numbers, extra, date in DRAWS:
        run(cli, folder, "draws", "add", ";".join(map(str, numbers + [extra])), "--number",
            str(no), "--date", date)
    if segments:
        run(cli, folder, "config", "set", "GLOBAL", "MatrixSegments",
            "".join(str(s) for s in SEG2))


def table(cli, folder, code, *args):
    """Value texts and counts of the rows that occurred, as the program shows them."""
    out = run(cli, folder, "stats", "table", code, *args).strip().split("\n")[1:]
    rows = [line.split("\t")[:2] for line in out]
    return [(v, int(c)) for v, c in rows if c not in ("0", "-")]


def methods(cli, folder):
    out = {}
    for line in run(cli, folder, "stats", "methods").strip().split("\n")[1:]:
        code, caption, group, _ = line.split("\t")
        m = re.match(r"\{ \w+ \} (.*?)(?: \[ (\w+) \])?$", caption)
        out[code] = (m.group(1), m.group(2) or "", group)
    return out


def esc(s):
    return html.escape(s, quote=False)


def nums(n):
    return " ".join(str(x) for x in n)


def values_table(rows, with_count=True, one=False):
    if not rows:
        return ("<p>Этот тираж значений не дает.</p>" if one else
                "<p>Строк нет: ни один тираж не дал значения.</p>")
    out = ["<table><tr><th>Значение</th><th>Количество</th></tr>" if with_count else
           "<table><tr><th>Значение</th></tr>"]
    for v, c in rows:
        out.append(f"<tr><td><code>{esc(v)}</code></td><td>{c}</td></tr>" if with_count else
                   f"<tr><td><code>{esc(v)}</code></td></tr>")
    out.append("</table>")
    return "".join(out)


def draws_table(segments=False):
    out = ["<table><tr><th>Тираж</th><th>Числа</th>" +
           ("<th>Сегменты</th>" if segments else "") + "</tr>"]
    for no, n, _, _ in DRAWS:
        seg = f"<td>{' '.join(str(SEG2[x - 1]) for x in n)}</td>" if segments else ""
        out.append(f"<tr><td>{no}</td><td>{nums(n)}</td>{seg}</tr>")
    out.append("</table>")
    return "".join(out)


def explain_one(code, n, extra, seg):
    """A line of working for the example on one draw."""
    d = M.diffs(n)
    if code in ("EVEN", "EVNV"):
        return "Четные: " + (", ".join(str(x) for x in n if x % 2 == 0) or "нет") + "."
    if code in ("SMAL", "SMLV"):
        return "Из 1..21: " + (", ".join(str(x) for x in n if x <= 21) or "нет") + "."
    if code in ("PRIM", "PRMV", "SUMP"):
        return "Простые: " + (", ".join(str(x) for x in n if x in M.PRIMES) or "нет") + "."
    if code in ("SUMS", "SUM1", "SUM2", "SUM3"):
        return f"Сумма: {' + '.join(map(str, n))} = {sum(n)}."
    if code == "SUME":
        ev = [x for x in n if x % 2 == 0]
        return f"Четные: {' + '.join(map(str, ev))} = {sum(ev)}."
    if code == "S2T3":
        found = [f"{n[j]} + {n[k]} = {n[i]}" for i in range(6) for j in range(6)
                 for k in range(j + 1, 6) if len({i, j, k}) == 3 and n[j] + n[k] == n[i]]
        return "Тройки: " + ("; ".join(found) if found else "нет") + "."
    if code[:3] in ("DIF", "KDS"):
        return "Разности d1..d5: " + ", ".join(map(str, d)) + "."
    if code[:3] in ("CHA", "CHN", "KCM", "KCS"):
        return "Каналы чисел: " + ", ".join(f"{x} → {M.channel(x)}" for x in n) + "."
    if code[:3] in ("COL", "ROW") or code[:2] in ("KF", "KR"):
        return ("Строка и столбец чисел: " +
                ", ".join(f"{x} → ({M.row_of(x)}, {M.col_of(x)})" for x in n) +
                " (строка, столбец).")
    if code[:3] in ("SGM",) or code[:2] == "KG":
        return "Сегменты чисел: " + ", ".join(f"{x} → {seg[x - 1]}" for x in n) + "."
    if code in ("SEQL", "SEQS", "LENS"):
        return "Длины последовательностей по порядку: " + ", ".join(map(str, M.runs(n))) + "."
    if code in ("HCV1", "HCV2"):
        steps, _, _ = M.varlen(n, 0)
        return "Треугольник разностей: " + " → ".join(" ".join(map(str, s)) for s in steps) + "."
    if code.startswith("SHR"):
        f = FORMULAS[int(code[3]) - 1]
        text = f
        for i in range(6):
            text = text.replace(f"n{i + 1}", str(n[i]))
        val = eval(text, {"__builtins__": {}})
        return (f"Формула {int(code[3])}: {f} = {text} = {val:.6f}…; два знака после запятой "
                f"дают {M.shredding(f, n, [0] * 6, [0] * 6)}.").replace(".", ",", 1) \
            .replace("Формула " + code[3] + ":", "Формула " + code[3] + ":")
    return ""


def example_one(cli, t, folders, meta):
    seg = SEG2 if t["seg"] else None
    folder = folders["seg" if t["seg"] else "plain"]
    codes = [c for c in t["codes"] if c != "…"]
    if t["help"] in ("CHNx",):
        codes = [f"CHN{c}" for c in range(1, 7)]
    if t["help"] == "COLx":
        codes = [f"COL{c}" for c in range(1, 8)]
    if t["help"] == "ROWx":
        codes = [f"ROW{c}" for c in range(1, 7)]
    if t["help"] == "SGMx":
        codes = ["SGM1", "SGM2"]
    out = [f"<p>Тираж {LAST_NO}: числа <b>{nums(LAST)}</b>, дополнительный шар {LAST_EXTRA}"
           + (" (числа 1..21 — сегмент 1, 22..42 — сегмент 2)" if seg else "") + ".</p>"]
    work = explain_one(codes[0], LAST, LAST_EXTRA, seg or [1] * 42)
    if work:
        out.append(f"<p>{esc(work)}</p>")
    multi = len(codes) > 1
    if multi:
        out.append("<table><tr><th>Метод</th><th>Значение</th></tr>")
    for code in codes:
        rows = table(cli, folder, code, "--len", "1")
        mine = M.one_draw(M.single_values(code, LAST, LAST_EXTRA, seg, FORMULAS)).items()
        if sorted(rows) != sorted(mine):
            raise SystemExit(f"{code}: the program gives {rows}, the definition {mine}")
        shown = ", ".join(f"{v}" + (f" (×{c})" if c > 1 else "") for v, c in rows)
        if multi:
            out.append(f"<tr><td>{code}</td><td><code>{esc(shown)}</code></td></tr>")
        else:
            out.append("<p>Значения тиража в таблице (×k — значение получено k раз):</p>")
            out.append(values_table(rows, one=True))
    if multi:
        out.append("</table>")
    return "".join(out)


def presence_lines(code, seg):
    of = {"P": lambda x: x, "C": M.channel, "S": lambda x: seg[x - 1]}[code[2]]
    fmt = (lambda v: f"{v:02d}") if code[2] == "C" else str
    values = sorted({of(x) for x in LAST})
    lines = []
    for v in values:
        marks = " ".join("+" if v in {of(x) for x in n} else "–" for n in NUMBERS)
        lines.append(f"{fmt(v)}: {marks}")
    return ("<p>Есть ли значение в тиражах 1201..1206 («+» — есть):</p><pre>" +
            esc("\n".join(lines)) + "</pre>")


def example_sample(cli, t, folders):
    seg = SEG2 if t["seg"] else None
    folder = folders["seg" if t["seg"] else "plain"]
    codes = [c for c in t["codes"] if c != "…"]
    if t["help"] == "SC2Cx" or t["help"] == "SC3Cx":
        codes = [t["help"][:4] + "1", t["help"][:4] + "2"]
    if t["help"] in ("SS2Cx", "SS3Cx"):
        codes = [t["help"][:4] + "1", t["help"][:4] + "2"]
    out = ["<p>Выборка из шести тиражей; опорный тираж — последний, " + str(LAST_NO) +
           ":</p>", draws_table(bool(seg))]
    if len(codes) > 2:
        # Show the methods whose tables have rows, when there are such.
        full = [c for c in codes if M.sample_table(c, NUMBERS, seg).items()]
        codes = full[:2] + [c for c in codes if c not in full[:2]]
    for code in codes if len(codes) <= 2 else codes[:2]:
        rows = table(cli, folder, code, "--len", "6")
        mine = M.sample_table(code, NUMBERS, seg)
        if sorted(rows) != sorted(mine.items()):
            raise SystemExit(f"{code}: the program gives {rows}, the definition {mine.items()}")
        if len(codes) > 1:
            out.append(f"<h3>{code}</h3>")
        if code[:2] == "GR":
            out.append(presence_lines(code, seg or [1] * 42))
        else:
            steps = []
            for a in range(len(DRAWS)):
                got = M.sample_table(code, NUMBERS, seg, only=a).items()
                if got:
                    steps.append(f"{DRAWS[a][0]}: " + ", ".join(
                        v + (f" (×{c})" if c > 1 else "") for v, c in got))
            if steps:
                out.append("<p>Что дает каждый тираж выборки:</p><pre>" +
                           esc("\n".join(steps)) + "</pre>")
        out.append("<p>Строки таблицы значений (с ненулевым количеством):</p>")
        out.append(values_table(rows))
    if len(codes) > 2:
        out.append(f"<p>Остальные методы ({', '.join(codes[2:])}) считаются так же для своих "
                   "позиций.</p>")
    return "".join(out)


def example_hcv3(cli, folders):
    n = DRAWS[-3][1]
    steps, f, mark = M.varlen(n, 2)
    rows = table(cli, folders["plain"], "HCV3", "--len", "1", "--offset", "2")
    return (f"<p>Смещение назад 2: последний тираж выборки — {DRAWS[-3][0]} "
            f"({nums(n)}), следующий за ним — {DRAWS[-2][0]} ({nums(DRAWS[-2][1])}).</p>"
            f"<p>Треугольник разностей: {esc(' → '.join(' '.join(map(str, s)) for s in steps))}"
            f". Последние два числа отличаются на 1, поэтому f = их сумма {f}, строка "
            f"<code>{f} (1)</code>; кратные: 121 &gt; 41, поэтому от 121 вниз с шагом 11 — в "
            "1..42 попадают 33 и 22. Из них в тираже " + str(DRAWS[-2][0]) + " выпало 33.</p>"
            "<p>Строки с количеством 1:</p>" + values_table(rows))


def page(t, meta, body_example):
    code = t["help"]
    first = [c for c in t["codes"] if c in meta][0]
    caption = t["caption"] or meta[first][0]
    letters = meta[first][1]
    group = [g for g in GROUPS if g[0] == t["group"]][0]
    served = ", ".join(t["codes"])
    feats = "; ".join(FEATURE_TEXT[ch] for ch in letters) or "нет"
    return f"""<!DOCTYPE html>
<html lang="ru">
<head>
<meta charset="utf-8">
<title>{esc(caption)}</title>
<link rel="stylesheet" type="text/css" href="style.css">
</head>
<body>
<p class="nav"><a href="index.htm">Содержание</a> | <a href="statistics.htm">Таблица статистики и фильтрация</a></p>
<h1>{esc(caption)}</h1>
<p>Код метода: <span class="code">{esc(served)}</span>. Группа: {{ {group[0]} }} {esc(group[1])}. Особенности: {feats}.</p>
<h2>Что измеряет</h2>
<p>{t['measure']}</p>
<p class="note">{FAMILY_NOTES[t['note']]}</p>
<h2>Значения</h2>
<p>{t['values']}</p>
<h2>Пример</h2>
<div class="example">{body_example}</div>
<h2>Фильтрация</h2>
<p>{t['filtering']}</p>
<p class="note">Столбцы таблицы («Количество», «Глубина», «Период», «Ожд. ПРД» и другие) и выбор
строк описаны на странице <a href="statistics.htm">Таблица статистики и фильтрация</a>.</p>
</body>
</html>
"""


def index(pages):
    out = ["""<!DOCTYPE html>
<html lang="ru">
<head>
<meta charset="utf-8">
<title>Справка: содержание</title>
<link rel="stylesheet" type="text/css" href="style.css">
</head>
<body>
<h1>Справка программы «Тессара»</h1>
<p>Справка открывается клавишей F1 на странице раздела, в котором вы работаете, а F8
(«Описание статистики») показывает страницу статистики, выбранной на вкладке
«Статистика».</p>
<h2>Работа с программой</h2>
<ul>"""]
    for file, caption in TASK_PAGES:
        out.append(f'<li><a href="{file}">{esc(caption)}</a></li>')
    out.append("</ul>\n<h2>Статистики</h2>")
    out.append("<p>Буквы после кода — особенности метода: S — зависит от порядка чисел, N — "
               "есть сравнение с полным набором комбинаций, D — зависит от опорного тиража, "
               "P — статистика периодов, G — есть график.</p>")
    for gid, gcaption in GROUPS:
        items = [p for p in pages if p[1] == gid]
        if not items:
            continue
        out.append(f"<h3>{{ {gid} }} {esc(gcaption)}</h3>\n<table>")
        for file, _, caption, codes, letters in items:
            out.append(f'<tr><td><a href="{file}">{esc(codes)}</a></td>'
                       f"<td>{esc(caption)}</td><td>{letters}</td></tr>")
        out.append("</table>")
    out.append("</body>\n</html>\n")
    return "\n".join(out)


def main():
    if len(sys.argv) < 2:
        raise SystemExit(__doc__)
    cli = os.path.abspath(sys.argv[1])
    out_dir = sys.argv[2] if len(sys.argv) > 2 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "..", "data", "help")
    with tempfile.TemporaryDirectory() as tmp:
        folders = {"plain": os.path.join(tmp, "plain"), "seg": os.path.join(tmp, "seg")}
        make_archive(cli, folders["plain"], False)
        make_archive(cli, folders["seg"], True)
        meta = methods(cli, folders["plain"])
        meta.update({k: v for k, v in methods(cli, folders["seg"]).items() if k not in meta})
        pages = []
        for t in TOPICS:
            if t["example"] == "one":
                ex = example_one(cli, t, folders, meta)
            elif t["example"] == "sample":
                ex = example_sample(cli, t, folders)
            else:
                ex = example_hcv3(cli, folders)
            file = f"Filters_1049_{t['help']}.htm"
            with open(os.path.join(out_dir, file), "w", encoding="utf-8", newline="\n") as f:
                f.write(page(t, meta, ex))
            first = [c for c in t["codes"] if c in meta][0]
            codes = t["help"] if len(t["codes"]) == 1 else ", ".join(t["codes"])
            pages.append((file, t["group"], t["caption"] or meta[first][0], codes,
                          meta[first][1]))
        with open(os.path.join(out_dir, "index.htm"), "w", encoding="utf-8", newline="\n") as f:
            f.write(index(pages))
    print(f"{len(pages)} statistic pages and the contents written to {out_dir}")


if __name__ == "__main__":
    main()
