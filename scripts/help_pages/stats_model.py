"""Values of the statistics worked out by hand for the examples of the help
pages, from the definitions the pages explain. The page generator checks each
result against tessara-cli, so a page never shows a value the program would
not show."""

from collections import OrderedDict
from itertools import combinations

PRIMES = {1, 2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37, 41}
SUM_BANDS = {1: (87, 171), 2: (95, 163), 3: (103, 155)}


class Table:
    """Rows of a value table in the order they first appear: text -> count."""

    def __init__(self):
        self.rows = OrderedDict()

    def add(self, text, count=1):
        self.rows[text] = self.rows.get(text, 0) + count

    def items(self):
        return [(t, c) for t, c in self.rows.items() if c > 0]


def one_draw(values):
    t = Table()
    for v in values:
        t.add(v)
    return t


def ratio(k):
    return f"{k}:{6 - k}"


def mask(bits, zero, one):
    value = 0
    text = ""
    for b in bits:
        value = value * 2 + (1 if b else 0)
        text += one if b else zero
    return f"{text} ({value:03d})"


def diffs(n):
    return [abs(n[k + 1] - n[k]) for k in range(5)]


def multiplicities(d):
    out = OrderedDict()
    for x in d:
        out[x] = out.get(x, 0) + 1
    return out


def channel(n, w=7):
    return (n + w - 1) // w


def channel_text(c, w=7):
    return f"{c:02d} [{w * (c - 1) + 1}-{c * w}]"


def col_of(n, c=7):
    return (n - 1) % c + 1


def row_of(n, c=7):
    return (n - 1) // c + 1


def runs(n):
    """Lengths of the runs of consecutive ascending neighbours."""
    out, length = [], 1
    for k in range(1, 6):
        if n[k] - n[k - 1] == 1:
            length += 1
        else:
            out.append(length)
            length = 1
    out.append(length)
    return out


def varlen(n, mode):
    lst = list(n)
    steps = [list(lst)]
    while len(lst) >= 3:
        lst = [abs(lst[k + 1] - lst[k]) for k in range(len(lst) - 1)]
        steps.append(list(lst))
    a, b = lst
    d = abs(b - a)
    if mode == 1 and d in (0, 1):
        return steps, a + b, None
    if mode == 2:
        if d == 0:
            return steps, a + b, None
        if d == 1:
            return steps, a + b, 1
    return steps, d, None


def tuples(values, k, seq):
    if seq:
        return [tuple(values[i:i + k]) for i in range(len(values) - k + 1)]
    return list(combinations(values, k))


def joined(t):
    return ":".join(str(x) for x in t)


# --- statistics of one draw -------------------------------------------------

def single_values(code, n, extra, segments=None, formulas=None):
    """The value texts of one draw (numbers n in stored order)."""
    seg = segments or [1] * 42
    if code == "NUMS":
        return [str(x) for x in n]
    if code == "DIGS":
        return [ch for x in n for ch in str(x)]
    if code == "EVEN":
        return [ratio(sum(1 for x in n if x % 2 == 0))]
    if code == "EVNV":
        return [mask([x % 2 == 1 for x in n], "Ч", "н")]
    if code == "SMAL":
        return [ratio(sum(1 for x in n if x <= 21))]
    if code == "SMLV":
        return [mask([x > 21 for x in n], "1", "2")]
    if code == "PRIM":
        return [ratio(sum(1 for x in n if x in PRIMES))]
    if code == "PRMV":
        return [mask([x in PRIMES for x in n], "С", "П")]
    if code.startswith("POS"):
        return [str(n[int(code[3]) - 1])]
    if code == "POE1":
        return [str(extra)]
    if code == "SUMS":
        return [str(sum(n))]
    if code in ("SUM1", "SUM2", "SUM3"):
        lo, hi = SUM_BANDS[int(code[3])]
        return [f"{lo}-{hi}" if lo <= sum(n) <= hi else "Остальные"]
    if code == "SUME":
        return [str(sum(x for x in n if x % 2 == 0))]
    if code == "SUMP":
        return [str(sum(x for x in n if x in PRIMES))]
    if code == "S2T3":
        count = 0
        for i in range(6):
            for j in range(6):
                for k in range(j + 1, 6):
                    if len({i, j, k}) == 3 and n[j] + n[k] == n[i]:
                        count += 1
        return [str(count)]
    d = diffs(n)
    if code == "DIFA":
        return [str(x) for x in d]
    if code == "DIFM":
        return [str(max(d))]
    if code == "DIFD":
        return [str(max(n) - min(n))]
    if code == "DIFO":
        return [f"{x} x {m}" for x, m in multiplicities(d).items()]
    if code == "DIFK":
        return [str(max(multiplicities(d).values()))]
    if code.startswith("KDS"):
        k = int(code[3])
        return [joined(t) for t in tuples(d, k, True)]
    ch = [channel(x) for x in n]
    if code == "CHAN":
        return [channel_text(c) for c in ch]
    if code == "CHNV":
        return [f"{channel_text(c)} x {ch.count(c)}" for c in range(1, 7)]
    if code == "CHNC":
        return [str(len(set(ch)))]
    if code.startswith("KCM") or code.startswith("KCS"):
        return [joined(t) for t in tuples(ch, int(code[3]), code[2] == "S")]
    if code.startswith("CHN"):
        return [str(ch.count(int(code[3:])))]
    for prefix, of, count_of in (("COL", col_of, 7), ("ROW", row_of, 6)):
        place = [of(x) for x in n]
        if code == prefix + "S":
            return [str(p) for p in place]
        if code == prefix + "V":
            return [f"{p} x {place.count(p)}" for p in range(1, count_of + 1)]
        if code == prefix + "N":
            return [str(len(set(place)))]
        if code == prefix + "M":
            return [mask([p in place for p in range(1, count_of + 1)], "0", "1")]
        if code in (prefix + "A", prefix + "C"):
            other = row_of if of is col_of else col_of
            pairs = OrderedDict()
            for i in range(6):
                for j in range(i + 1, 6):
                    if place[i] == place[j] and abs(other(n[i]) - other(n[j])) == 1:
                        pairs[place[i]] = pairs.get(place[i], 0) + 1
            if code == prefix + "A":
                return [f"{p} x {k + 1}" for p, k in pairs.items()]
            return [str(len(pairs))]
        if code.startswith(prefix) and code[3:].isdigit():
            return [str(place.count(int(code[3:])))]
    for prefix, of in (("KF", col_of), ("KR", row_of)):
        if code.startswith(prefix):
            return [joined(t) for t in tuples([of(x) for x in n], int(code[3]), code[2] == "S")]
    s = [seg[x - 1] for x in n]
    used = list(OrderedDict.fromkeys(seg))
    if code == "SGMS":
        return [str(v) for v in s]
    if code == "SGMV":
        return [f"{v} x {s.count(v)}" for v in used]
    if code == "SGMC":
        return [str(len(set(s)))]
    if code.startswith("KG"):
        return [joined(t) for t in tuples(s, int(code[3]), code[2] == "S")]
    if code.startswith("SGM"):
        return [str(s.count(int(code[3:])))]
    if code == "SEQL":
        return [str(r) for r in runs(n)]
    if code == "SEQS":
        return [str(sum(1 for r in runs(n) if r >= 2))]
    if code == "LENS":
        return [str(max(runs(n)))]
    if code.startswith("KNM") or code.startswith("KNS"):
        return [joined(t) for t in tuples(n, int(code[3]), code[2] == "S")]
    if code.startswith("KNP"):
        k, p = int(code[3]), int(code[4])
        return [joined(n[p - 1:p - 1 + k])]
    if code in ("HCV1", "HCV2"):
        return [str(varlen(n, int(code[3]) - 1)[1])]
    if code.startswith("SHR"):
        return [str(shredding(formulas[int(code[3]) - 1], n, [0] * 6, [0] * 6))]
    raise KeyError(code)


def shredding(formula, n, p, t, places=2):
    text = formula
    for i in range(6):
        for name, vals in (("n", n), ("p", p), ("t", t)):
            text = text.replace(f"{name}{i + 1}", str(vals[i]))
    try:
        f = eval(text, {"__builtins__": {}})
    except ZeroDivisionError:
        return 0
    frac = abs(f) - int(abs(f))
    return int(frac * 10 ** places + 1e-9)


# --- statistics over a sample (feature D and the runs of draws) -------------

def wrap(x, s):
    if x == 0:
        return 0
    y = x + s
    if s > 0 and y > 42:
        y -= 42
    if s < 0 and y <= 0:
        y += 42
    return y


REPEATS = {
    # code: (kind, shift, gap)
    "RPV2": ("values", 0, 1), "PRV2O1": ("values", 0, 2), "PRV2O2": ("values", 0, 3),
    "PRV2O3": ("values", 0, 4), "PRV+1": ("values", 1, 1), "PRV-1": ("values", -1, 1),
    "PRV+2": ("values", 2, 1), "PRV-2": ("values", -2, 1),
    "RPC2": ("count", 0, 1), "RPO1": ("count", 0, 2), "PRC2O2": ("count", 0, 3),
    "PRC2O3": ("count", 0, 4), "PRC+1": ("count", 1, 1), "PRC-1": ("count", -1, 1),
    "PRC+2": ("count", 2, 1), "PRC-2": ("count", -2, 1),
}


def sample_table(code, draws, segments=None, only=None):
    """The rows (count > 0) of the value table over all the draws given, the
    last of them being the reference draw; with only, what that one draw
    (an index) added."""
    seg = segments or [1] * 42
    L = len(draws) - 1
    Z = [0] * 6

    def D(i):
        return draws[i] if 0 <= i < len(draws) else Z

    ref = D(L)
    t = Table()
    if only is not None:
        def keep(a):
            return a == only
    else:
        def keep(a):
            return True
    if code in ("SUMC", "SUMV", "SUMT"):
        for a in filter(keep, range(L + 1)):
            prev, cur, r = sum(D(a - 1)), sum(D(a)), sum(ref)
            if code == "SUMC" and prev == r:
                sign = "-" if cur < prev else "+"
                diff = abs(cur - prev)
                t.add(f"- {diff:02d} : {prev} - {diff:02d} = {cur}" if sign == "-" else
                      f"+{diff:02d} : {prev} + {diff:02d} = {cur}")
            if code == "SUMV" and prev - 21 <= r <= prev + 21:
                v = cur - prev
                t.add(f"- {-v:02d}" if v < 0 else f"+{v:02d}")
            if code == "SUMT" and prev == r:
                t.add("=" if cur == prev else ("+" if cur > prev else "-"))
        return t
    if code in REPEATS:
        kind, shift, gap = REPEATS[code]
        for a in filter(keep, range(L + 1)):
            P = [wrap(x, shift) for x in D(a - gap)]
            Q = [wrap(x, shift) for x in ref]
            if kind == "values":
                for x in P:
                    if x and x in Q and x in D(a):
                        t.add(str(x))
            else:
                t.add(str(sum(1 for x in P if x and x in D(a))))
        return t
    if code in ("RPV3", "PRL2", "RPC3", "PRB2"):
        for a in filter(keep, range(L + 1)):
            cur, p1, p2 = D(a), D(a - 1), D(a - 2)
            if code == "RPV3":
                for x in cur:
                    if x in ref and x in p1 and x in p2:
                        t.add(str(x))
            elif code == "PRL2":
                for x in cur:
                    if x in ref and x in p1 and x not in p2:
                        t.add(str(x))
            elif code == "RPC3":
                t.add(str(sum(1 for x in cur if x in p1 and x in p2)))
            else:
                t.add(str(sum(1 for x in cur if x in p1 and x not in p2)))
        return t
    if code[:2] == "GR":
        of = {"P": lambda x: x, "C": channel, "S": lambda x: seg[x - 1]}[code[2]]
        presence = code[3] == "V"
        fmt = (lambda v: f"{v:02d}") if code[2] == "C" else str
        lo, hi = {"P": (1, 42), "C": (1, 6), "S": (min(seg), max(seg))}[code[2]]
        runs_ = {v: 0 for v in range(lo, hi + 1)}
        ref_values = {of(x) for x in ref}
        for a in range(L + 1):
            present = {of(x) for x in D(a)}
            for v in range(lo, hi + 1):
                if (v in present) == presence:
                    runs_[v] += 1
                    if a == L and v in ref_values:
                        t.add(f"{fmt(v)} x {runs_[v]}")
                else:
                    if runs_[v] > 0 and v in ref_values:
                        t.add(f"{fmt(v)} x {runs_[v]}")
                    runs_[v] = 0
        return t
    if code[:3] == "PRD":
        of = {"V": lambda x: x, "C": channel, "G": lambda x: seg[x - 1]}[code[3]]
        fmt = (lambda v: f"{v:02d}") if code[3] == "C" else str
        last = {}
        for a in range(L + 1):
            no = a + 1
            for x in D(a):
                v = of(x)
                if v in last:
                    d = no - last[v]
                    last[v] = no
                    if d > 0 and keep(a):
                        t.add(f"{fmt(v)} x {d}")
                else:
                    last[v] = no
        return t
    return transitions(code, draws, seg, t, keep)


def transitions(code, draws, seg, t, keep):
    L = len(draws) - 1
    Z = [0] * 6

    def D(i):
        return draws[i] if 0 <= i < len(draws) else Z

    ref, X = D(L), D(L - 1)
    kind = code[1]  # D numbers, C channels, S segments
    f = {"D": lambda x: x, "C": lambda x: channel(x) if x else 0,
         "S": lambda x: seg[x - 1] if x else 0}[kind]
    two = (lambda v: f"{v:02d}") if kind == "C" else str

    def pair(a, b):
        return f"{two(a)} -> {two(b)}"

    def triple(a, b, c):
        return f"{two(a)}-{two(b)} -> {two(c)}"

    for a in filter(keep, range(L + 1)):
        cur, p1, p2 = D(a), D(a - 1), D(a - 2)
        if a - 1 < 0:
            continue
        if code in ("SDV2", "SCV2", "SSV2"):
            for i in range(6):
                if any(f(p1[i]) == f(r) for r in ref):
                    for j in range(6):
                        t.add(pair(f(p1[i]), f(cur[j])))
        elif code in ("SDP2", "SCP2", "SSP2") or code[:3] in ("SDN", "SCN", "SSN"):
            positions = range(6) if code[2] == "P" else [int(code[3]) - 1]
            for i in positions:
                if f(p1[i]) == f(ref[i]):
                    t.add(pair(f(p1[i]), f(cur[i])))
        elif code in ("SDP3", "SCP3", "SSP3") or code[:3] in ("SDM", "SCM", "SSM"):
            if a - 2 < 0:
                continue
            positions = range(6) if code[2] == "P" else [int(code[3]) - 1]
            for i in positions:
                if f(p1[i]) == f(ref[i]) and f(p2[i]) == f(X[i]):
                    t.add(triple(f(p2[i]), f(p1[i]), f(cur[i])))
        elif code[:4] in ("SC2C", "SS2C", "SC3C", "SS3C"):
            c = int(code[4:])
            g = channel if code[1] == "C" else (lambda x: seg[x - 1])

            def k(d):
                return sum(1 for x in d if x and g(x) == c)
            if code[2] == "2" and k(p1) == k(ref):
                t.add(f"{k(p1)} -> {k(cur)}")
            if code[2] == "3" and a - 2 >= 0 and k(p1) == k(ref) and k(p2) == k(X):
                t.add(f"{k(p2)}-{k(p1)} -> {k(cur)}")
        elif code in ("SDA2", "SDG2", "SDZ2", "SDC2"):
            for r in p1:
                if r not in ref:
                    continue
                M = [m for m in cur if channel(m) == channel(r)]
                if code == "SDC2":
                    t.add(f"{r} -> {len(M)}")
                    continue
                if code in ("SDA2", "SDG2"):
                    for m in M:
                        t.add(pair2(r, m))
                if not M and code in ("SDA2", "SDZ2"):
                    t.add(pair2(r, 0))
        else:
            raise KeyError(code)
    return t


def pair2(a, b):
    return f"{a:02d} -> {b:02d}"
