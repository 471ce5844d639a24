#!/usr/bin/env python3
"""An independent working of a Run of one matrix file, written from the
system's description of the generator, the null-model tables, the pool
fraction estimate, PValue, Beta, the kernel's strengths and the results
text, with none of the program's code. Python floats are IEEE doubles and
math.log/exp/pow are the C library's, so the arithmetic is the program's
own, operation for operation.

usage: oracle.py MATRIXFILE ITERATIONS SEED ROWSTEXT COLSTEXT FILENAME
prints the whole results text (CR LF line ends) to stdout."""
import math, random, sys
from decimal import Decimal, ROUND_HALF_EVEN, ROUND_HALF_UP

# ---- uniform generator: reference MT19937, words scaled to [0, 1] ----------
SCALE = 2.3283064370807974e-10
assert SCALE.hex() == '0x1.0000000100000p-32'

class Uniform:
    def __init__(self):
        self.r = random.Random()
    def seed(self, s):
        mt = [s & 0xFFFFFFFF]
        for i in range(1, 624):
            mt.append((1812433253 * (mt[-1] ^ (mt[-1] >> 30)) + i) & 0xFFFFFFFF)
        self.r.setstate((3, tuple(mt + [624]), None))
    def next(self):
        return self.r.getrandbits(32) * SCALE

gen = Uniform()
gen.seed(0)
assert [gen.r.getrandbits(32) for _ in range(3)] == [2357136044, 2546248239, 3071714933]

# ---- null-model tables -----------------------------------------------------
def zs1(n):
    """Integer partitions of n in reverse lexicographic order (ZS1)."""
    x = [1] * (n + 1); x[1] = n; m = 1; h = 1
    yield x[1:m + 1]
    while x[1] != 1:
        if x[h] == 2:
            m += 1; x[h] = 1; h -= 1
        else:
            r = x[h] - 1; t = m - h + 1; x[h] = r
            while t >= r:
                h += 1; x[h] = r; t -= r
            if t == 0:
                m = h
            else:
                m = h + 1
                if t > 1:
                    h += 1; x[h] = t
        yield x[1:m + 1]

class Tables:
    def __init__(self, N):
        self.N = N
        self.lf = [0.0] * (N + 1)
        for i in range(1, N + 1):
            self.lf[i] = self.lf[i - 1] + math.log(i)
        S = [[0.0] * (N + 1) for _ in range(N + 1)]
        for i in range(1, N + 1):
            S[i][i] = 1.0; S[i][1] = 1.0
        for n in range(3, N + 1):
            for m in range(2, n):
                S[n][m] = m * S[n - 1][m] + S[n - 1][m - 1]
        self.ls = [[0.0] * (N + 1) for _ in range(N + 1)]
        for n in range(1, N + 1):
            for m in range(1, n + 1):
                self.ls[n][m] = math.log(S[n][m])
        self.sm = [[[0.0, 0.0, 0.0] for _ in range(N + 1)] for _ in range(N + 1)]
        for n in range(3, N + 1):
            for parts in zs1(n):
                m = len(parts)
                c = [0] * (n + 1); s = 0
                for p in parts:
                    c[p] += 1; s += p * p
                P = math.exp(self.logcoeff(c, n) - self.ls[n][m])
                self.sm[n][m][1] = s * P + self.sm[n][m][1]
                self.sm[n][m][2] = (s * s) * P + self.sm[n][m][2]
    def logcoeff(self, c, n):
        r = self.lf[n]
        for i in range(1, n + 1):
            if c[i] != 0:
                r = (r - c[i] * self.lf[i]) - self.lf[c[i]]
        return r

t4 = Tables(4)
assert abs(t4.sm[4][2][1] - 64 / 7) < 1e-12 and abs(t4.sm[4][2][2] - 592 / 7) < 1e-11

# ---- pool fraction estimate -------------------------------------------------
def loglik(n, m, x):
    r = (n - m) * math.log(x)
    for i in range(1, m):
        r = math.log(1 - i * x) + r
    return r
def slope(n, m, x):
    r = (n - m) / x
    for i in range(1, m):
        r = r - i / (1 - i * x)
    return r
def curvature(n, m, x):
    r = (m - n) / x ** 2
    for i in range(1, m):
        r = r - i ** 2 / (1 - i * x) ** 2
    return r

def estimate(n, m):
    if m > n or n == 0 or m == 0:
        return -1.0
    if m == 1:
        return 1.0
    if m == n:
        return 0.0
    while True:
        x = gen.next() / (m - 1)
        restart = False
        for _ in range(10):
            if x == 0:
                restart = True
                break
            x = x - slope(n, m, x) / curvature(n, m, x)
            assert math.isfinite(x)
        if restart or x < 0 or x > 1 / (m - 1):
            continue
        if x <= 1 / (n - 1):
            return x
        best = -1e10; result = None
        for j in range(m, n):
            L = loglik(n, m, 1 / j)
            if L > best:
                best = L; result = 1 / j
        return result

# ---- site type loading ----------------------------------------------------
class State:
    def __init__(self, types, seed):
        k = 0
        for s in types:
            c = s.count(',')
            if c > k and c <= 40:
                k = c
        self.t = Tables(k + 1)
        gen.seed(seed)
        self.order = []; self.freq = {}; self.info = {}
        for s in types:
            c = s.count(',')
            if c < 3 or c > 40:
                continue
            if s in self.freq:
                self.freq[s] += 1
                continue
            entries = [int(e) for e in s[1:-1].split(',')]
            n = len(entries)
            cc = [0] + entries
            m = sum(entries)
            S = sum((i + 1) ** 2 * e for i, e in enumerate(entries))
            lp = self.t.logcoeff(cc, n) - self.t.ls[n][m]
            if lp < -1e-14:
                self.freq[s] = 1
                self.info[s] = (n, m, S, estimate(n, m))
                self.order.append(s)

# ---- the two exports ---------------------------------------------------------
def normpdf(x):
    q = x ** 2; q = q * -1; q = q / 2
    return math.exp(q) / 6.28318530717958 ** 0.5
def normcdf(x):
    a = abs(x)
    if a > 5.5:
        T = 0.0
    else:
        h = (5.5 - a) / 1000; s = 0.0
        for i in range(1, 1000):
            s = normpdf(i * h + a) + s
        T = ((2 * s + normpdf(a)) + normpdf(5.5)) * (h / 2)
    return 1 - T if x > 0 else T

def pvalue(types, seed):
    st = State(types, seed)
    if not st.order:
        return -1.0
    obs = 0; mean = 0.0; var = 0.0
    for s in st.order:
        n, m, S, _ = st.info[s]; f = st.freq[s]
        e1 = st.t.sm[n][m][1]; e2 = st.t.sm[n][m][2]
        obs += S * f; mean = mean + e1 * f; var = var + (e2 - e1 ** 2) * f
    if var > 10 ** -10:
        return normcdf((obs - mean) / var ** 0.5)
    return 1.0

CRITICAL = 1.6448530004709
def beta(strength, types, iterations, seed):
    gen.seed(seed)
    st = State(types, seed)
    if not st.order:
        return (0.0, 0.0)
    sel = [s for s in st.order if 1e-15 < st.info[s][3] < 0.99999999999]
    assert sel
    sm = st.t.sm
    prepared = []
    for s in sel:
        n, m, S, x = st.info[s]
        w = [0.0] + [x / (strength ** j * (1 - x) + x) for j in range(1, n + 1)]
        prepared.append((n, st.freq[s], w))
    c1 = c2 = 0
    for _ in range(iterations):
        sumS = sumMean = sumVar = 0.0
        for n, f, w in prepared:
            for _ in range(f):
                g = [0] * (n + 1); g[1] = 1; mc = 1
                for _ in range(2, n + 1):
                    u = gen.next()
                    for k in range(1, n + 1):
                        if g[k] != 0:
                            u = u - w[g[k]]
                            if u < 0:
                                g[k] += 1
                                break
                        else:
                            g[k] = 1; mc += 1
                            break
                for k in range(1, mc + 1):
                    sumS = g[k] ** 2 + sumS
                sumMean = sumMean + sm[n][mc][1]
                sumVar = (sumVar + sm[n][mc][2]) - sm[n][mc][1] ** 2
        if sumVar > 10 ** -10:
            z = (sumS - sumMean) / sumVar ** 0.5
            if z <= -CRITICAL:
                c1 += 1
            if z >= CRITICAL:
                c2 += 1
    return (c1 / iterations, c2 / iterations)

# ---- the matrix: site type strings in the order of the Run's column counts ----
def site_types(path):
    lines = open(path, 'rb').read().decode('latin-1').replace('\r\n', '\n').split('\n')
    header = lines[0]
    sep = ',' if ',' in header else ('\t' if '\t' in header else ' ')
    F = header.count(sep) + 1
    cells = {}
    rows = [header] + [l for l in lines[1:]]
    nrows = 0
    for l in lines[1:]:
        if l == '':
            break
        nrows += 1
    order = []  # the cell order: line by line, field by field
    for i in range(nrows + 1):
        for k, field in enumerate(rows[i].split(sep)[:F]):
            if field != '0':
                cells[(i, k)] = field.strip(' ')
                order.append((i, k))
    # A column's place in the column-count store is the place of its last cell.
    last = {}
    for pos, (i, k) in enumerate(order):
        last[k] = pos
    colcount = {}
    for (i, k) in order:
        colcount[k] = colcount.get(k, 0) + 1
    rowcount = {}
    for (i, k) in order:
        rowcount[i] = rowcount.get(i, 0) + 1
    lastrow = {}
    for pos, (i, k) in enumerate(order):
        lastrow[i] = pos
    rows_sel = [r for r in sorted(rowcount, key=lambda r: lastrow[r]) if rowcount[r] >= 3 and r > 0]
    cols_sel = [c for c in sorted(colcount, key=lambda c: last[c]) if colcount[c] >= 2 and c > 1]
    species = {}
    kept = []
    for r in rows_sel:
        name = cells.get((r, 0), '0'); guild = cells.get((r, 1), '0')
        if name != '' and guild != '' and guild != '---' and name not in species:
            species[name] = guild; kept.append(r)
    types = []
    for c in cols_sel:
        counts = {}
        for r in kept:
            if cells.get((r, c)) == '1':
                gname = species[cells[(r, 0)]]
                counts[gname] = counts.get(gname, 0) + 1
        if not counts:
            types.append('()')
            continue
        n = sum(counts.values()); a = [0] * (n + 1)
        for v in counts.values():
            a[v] += 1
        types.append('(' + ','.join(str(v) for v in a[1:]) + ')')
    return types

# ---- the results text ---------------------------------------------------------
def pform(v):
    d = Decimal(repr(v)).quantize(Decimal('0.0001'), rounding=ROUND_HALF_EVEN).normalize()
    s = format(d, 'f')
    return s
def three(v):
    return format(Decimal(repr(v)).quantize(Decimal('0.001'), rounding=ROUND_HALF_UP), 'f')
def percent(v):
    return format(Decimal(repr(v * 100)).quantize(Decimal('0.1'), rounding=ROUND_HALF_UP), 'f') + '%'

def main():
    path, iterations, seed, rowsText, colsText, fileName = sys.argv[1:7]
    iterations = int(iterations); seed = int(seed)
    types = site_types(path)
    sys.stderr.write('types %s\n' % types)
    p = pvalue(types, seed)
    table = []
    x = 0.1
    while x <= 2.91:
        c, f = beta(x, types, iterations, seed)
        table.append((x, c, f))
        x = x + 0.1
    assert len(table) == 29
    sys.stderr.write('p %r\n' % p)
    for row in table:
        sys.stderr.write('%r\n' % (row,))
    t = -(10 ** -6)
    sizeC = max([0.0] + [c for (s, c, f) in table if t <= 1 - s])
    sizeF = max([0.0] + [f for (s, c, f) in table if t >= 1 - s])
    minC = min([1.0] + [c for (s, c, f) in table if s > 1]); maxC = max([0.0] + [c for (s, c, f) in table if s > 1])
    minF = min([1.0] + [f for (s, c, f) in table if s < 1]); maxF = max([0.0] + [f for (s, c, f) in table if s < 1])
    fp = 1.0 if p == -1 else 1 - p
    L = []
    L += ['P-VALUE', '-' * 14,
          'Competition Test: rejecting the null hypothesis implies competition.',
          'Competition p-value = ' + pform(abs(p)),
          'Facilitation/Filtering Test: rejecting the null hypothesis implies facilitation or habitat filtering.',
          'Facilitation/Filtering p-value= ' + pform(fp), '', '']
    L += ['TYPE I ERROR RATES:  Null hypothesis rejection rates when the null hypothesis is true', '-' * 129,
          'Size (alpha): Maximum Type I error rate.', 'Nominal size (alpha) = 0.050']
    for name, size in (('Competition', sizeC), ('Facilitation/Filtering', sizeF)):
        L.append('Actual size (alpha) of %s Test = %s' % (name, three(size)))
        if size < 0.15:
            L.append('*****%s Test has tolerable Type I error rates.*****' % name)
        else:
            L.append('*****Warning: %s Test has high Type I error rates.  The null hypothesis will be rejected as much as %s of the time when it is true.*****' % (name, percent(size)))
    L += ['', '']
    L += ['TYPE II ERROR RATES:  Null hypothesis acceptance rates when the null hypothesis is false', '-' * 137,
          'Power: Null hypothesis rejection rates when the null hypothesis is false (1 - Type II error rate).']
    for name, size, mn, mx in (('Competition', sizeC, minC, maxC), ('Facilitation/Filtering', sizeF, minF, maxF)):
        L.append('Minimum power of %s Test = %s' % (name, three(mn)))
        L.append('Maximum power of %s Test = %s' % (name, three(mx)))
        if size / 2 >= mn:
            L.append('*****Warning: %s Test is biased. The null hypothesis will be rejected more often when it is true than when it is false.*****' % name)
        if mx < 0.15:
            L.append('*****Warning: %s Test has low power.  The null hypothesis will be rejected no more than %s of the time when it is false.*****' % (name, percent(mx)))
        if size / 2 < mn and mx >= 0.15:
            L.append('*****%s Test has adequate power.*****' % name)
    L += ['', '']
    L += ['PRESENCE-ABSENCE MATRIX', '-' * 49,
          'Number of rows (species): ' + rowsText, 'Number of columns (sites): ' + colsText]
    text = ''.join(l + '\r\n' for l in L) + 'File: "' + fileName + '"'
    sys.stdout.buffer.write(text.encode('latin-1'))

main()
