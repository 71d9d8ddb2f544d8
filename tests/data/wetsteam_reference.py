#!/usr/bin/env python3
"""Independent reference model for steam lines that may turn wet (Dorvent).

Written from public sources only (IAPWS-IF97, release R7-97(2012)) and from the
model stated below; it shares no code with the C++ program.  Python 3.11,
standard library only.  Run:

    python3 tests/data/wetsteam_reference.py            # everything
    python3 tests/data/wetsteam_reference.py --quick    # skip the step-halving run
    python3 tests/data/wetsteam_reference.py --verbose  # also list every IF97 table check

A caller may `import wetsteam_reference as w; res = w.compute_all()`; the result
is a dict (case -> law -> quantity) of floats; `w.format_results(res)` prints it.

=============================================================================
DERIVATION
=============================================================================

1. Water/steam properties: IAPWS-IF97 (R7-97(2012))
---------------------------------------------------
 Units: T in K, p in MPa (absolute), h in kJ/kg, v in m3/kg, cp in kJ/(kg K).
 R = 0.461526 kJ/(kg K).

 Region 1 (liquid), Eq. (7), Table 2 (34 terms):
     g/(RT) = gamma(pi, tau) = sum n_i (7.1 - pi)^I_i (tau - 1.222)^J_i,
     pi = p/16.53 MPa, tau = 1386 K / T.
     v  = pi*gamma_pi * R T / p          (p in kPa for m3/kg)
     h  = tau*gamma_tau * R T
     u  = R T (tau*gamma_tau - pi*gamma_pi)
     s  = R (tau*gamma_tau - gamma)
     cp = -tau^2 gamma_tautau R
     w^2 = R T gamma_pi^2 / ((gamma_pi - tau gamma_pitau)^2/(tau^2 gamma_tautau) - gamma_pipi)
   (derivatives with respect to pi carry the factor -1 from d(7.1-pi)/dpi).

 Region 2 (vapour), Eq. (15)-(17), Tables 10 (9 ideal-gas terms) and 11 (43 residual terms):
     gamma = gamma0 + gammar,  pi = p/1 MPa, tau = 540 K / T
     gamma0 = ln(pi) + sum n0_i tau^J0_i
     gammar = sum n_i pi^I_i (tau - 0.5)^J_i
     v  = pi (gamma0_pi + gammar_pi) R T / p,  gamma0_pi = 1/pi
     h  = tau (gamma0_tau + gammar_tau) R T
     u  = R T [tau (gamma0_tau + gammar_tau) - pi (gamma0_pi + gammar_pi)]
     s  = R [tau (gamma0_tau + gammar_tau) - (gamma0 + gammar)]
     cp = -tau^2 (gamma0_tautau + gammar_tautau) R
     w^2 = R T (1 + 2 pi gr_pi + pi^2 gr_pi^2) /
           ((1 - pi^2 gr_pipi) + (1 + pi gr_pi - tau pi gr_pitau)^2 / (tau^2 (g0_tautau + gr_tautau)))

 Region 4 (saturation line), Eq. (29)-(31), Table 34 (n1..n10):
     theta = T + n9/(T - n10),  A = theta^2 + n1 theta + n2,
     B = n3 theta^2 + n4 theta + n5,  C = n6 theta^2 + n7 theta + n8,
     psat = [2C / (-B + sqrt(B^2 - 4AC))]^4                         (Eq. 30)
     beta = p^(1/4),  E = beta^2 + n3 beta + n6,  F = n1 beta^2 + n4 beta + n7,
     G = n2 beta^2 + n5 beta + n8,  D = 2G / (-F - sqrt(F^2 - 4EG)),
     Tsat = [n10 + D - sqrt((n10 + D)^2 - 4 (n9 + n10 D))] / 2      (Eq. 31)

 Saturated liquid  ' : region 1 at (Tsat(p), p);  saturated vapour '' : region 2 at (Tsat(p), p).

 T(p, h) in region 2: Newton on h2(T, p) - h = 0 with dh/dT = cp2, started from
 the last solution, safeguarded by bisection in [Tsat(p) - 100 K, 1100 K]
 (the region-2 equation is continued a little into the metastable vapour,
 which only happens inside the RK4 stages of the step that crosses saturation),
 converged to |dT| < 1e-10 K.

 The script checks on every run, to 1e-8 relative (table values have 9 digits):
   Table 5  (region 1: v, h, u, s, cp, w at 3 points),
   Table 15 (region 2: v, h, u, s, cp, w at 3 points),
   Table 35 (psat at 300, 500, 600 K), Table 36 (Tsat at 0.1, 1, 10 MPa).

2. Pipe model
-------------
 Inputs: outer diameter D mm, wall s mm, inner d = D - 2 s mm; length L m;
 flow G t/h; zeta (local resistance: friction length x (1+zeta)); beta (local
 heat loss: heat x (1+beta)); ambient ta degC; unit heat loss qu kJ/(m h degC).

 Heat: a length dx at steam temperature t degC loses
       q dx = (1+beta) qu (t - ta) dx   kJ/h.
 Friction, rough-pipe law (independent of Re), roughness 0.2 mm:
       1/sqrt(lambda) = 1.14 + 2 log10(d/0.2)               (d in mm)
       w = G 1e6 / (0.7853981 d^2 3.6 rho)    m/s            (the constant 0.7853981 as given)
       R = lambda / (d/1000) * rho w^2 / 2    Pa/m
       dp/dx = -(1+zeta) R 1e-6               MPa/m          (no rounding anywhere)

 Law "energy" (the one being introduced): state (p, h), x = distance from start
       dp/dx = -(1+zeta) R(rho) 1e-6
       dh/dx = -q / (G 1000)       kJ/kg per m   (kinetic, potential energy neglected)
   state from (p, h):
     superheated  h > h''(p):  T = T2(p, h), rho = 1/v2(T, p)
     wet  h' <= h <= h''(p):   T = Tsat(p), x = (h - h')/(h'' - h'),
                               v = v' + x (v'' - v')  (homogeneous flow), rho = 1/v.
   The right-hand side is continuous but has a kink at h = h''(p), so the
   RK4 step that crosses saturation is cut exactly at the crossing: the
   sub-step length s with h - h''(p) = 0 at the end of an RK4 step of length s
   (computed with the superheated right-hand side) is found by
   Illinois/regula-falsi to 1e-10 m; the march then continues with the wet
   right-hand side.  The same root finding gives the distance where x first
   reaches 0.8.  (Wet -> superheated again is also watched for, with the
   same event; it does not happen in these cases.)
   Outputs: end p, T, h, x (x = 1.0 and phase 'superheated' when the end is
   superheated), heat lost Q = integral q dx / 3600 kW, condensate formed
   G (x_in - x_out) t/h (x = 1 for superheated steam), distance of saturation
   (where h first equals h''(p)), distance where x = 0.8.

 Law "heat-loss" (the older one, for comparison): state (p, T), superheated only
       dT/dx = -q / (G 1000 cp2(T, p)),   dp/dx as above with rho = 1/v2(T, p)
   marched until the end or until T = Tsat(p) (found as an event as above);
   h at the end = h2(T, p).  The difference of the two laws is the isothermal
   throttling term (dh/dp)_T dp/dx that the heat-loss law leaves out.

 Integration: classical RK4 in x on (p, h, Q) resp. (p, T, Q), step dx = 0.5 m
 (last step shortened to end exactly at L); a second run with dx = 0.25 m
 gives the step-halving difference printed for every quantity.

3. Cases (adjustments to the brief are also stated at each case in CASES below)
 A  D273x7, L 3000, G 25, 1.6 MPa 300 C: as briefed (pressure drop 0.375 MPa, in 0.3-0.5).
 B  D89x4, G 0.8, 1.0 MPa 200 C: L 2000 -> 600 m (saturation at 305.0 m = 51 % of L;
    with 2000 m it came at 15 %); end x 0.977.
 C  D159x4.5, L 800, G 5, 0.8 MPa, Tsat(0.8)+2 K = 172.413511 C: as briefed.
 D  D219x12, L 2000, G 60, 8 MPa 480 C: as briefed.
 E  D57x3.5, G 0.3, 0.6 MPa 170 C: L 3000 -> 1500 m (with 3000 m the pressure falls
    below 0.02 MPa at 2029 m); x = 0.8 at 1357.9 m, end x 0.783.
 F  trunk D159x4.5 L 500 G 4 from 1.0 MPa 200 C as briefed;
    F1 D108x4 G 3.5: L 1500 -> 500 m (with 1500 m the pressure falls below 0.02 MPa
    at 1168 m); stays superheated (end 6.3 K above Tsat);  F2 D57x3.5 G 0.5 L 1500 m as
    briefed: saturation at 85.9 m, end x 0.820.
 Case F: trunk, then two branches starting from the trunk's end state (p, h)
 (the branches use the trunk's ta, qu, zeta, beta; distances on a branch are
 measured from the node).  Under the heat-loss law the branches start from the
 heat-loss trunk's end (p, T).  A pipe computed by the energy balance is also
 compared with what the heat-loss law gives from its own start: for the
 branches that is the energy-balance trunk's end (p, T(p, h)), marched again by
 the heat-loss law ("heat-loss law from the energy-balance start"); F2 reaches
 Tsat on the way, so that law gives it no end.
"""

import math
import sys
import time

# =============================================================================
# IAPWS-IF97
# =============================================================================

R_GAS = 0.461526  # kJ/(kg K)

# Region 1, Table 2: (I, J, n)
_R1 = [
    (0, -2, 0.14632971213167e0),
    (0, -1, -0.84548187169114e0),
    (0, 0, -0.37563603672040e1),
    (0, 1, 0.33855169168385e1),
    (0, 2, -0.95791963387872e0),
    (0, 3, 0.15772038513228e0),
    (0, 4, -0.16616417199501e-1),
    (0, 5, 0.81214629983568e-3),
    (1, -9, 0.28319080123804e-3),
    (1, -7, -0.60706301565874e-3),
    (1, -1, -0.18990068218419e-1),
    (1, 0, -0.32529748770505e-1),
    (1, 1, -0.21841717175414e-1),
    (1, 3, -0.52838357969930e-4),
    (2, -3, -0.47184321073267e-3),
    (2, 0, -0.30001780793026e-3),
    (2, 1, 0.47661393906987e-4),
    (2, 3, -0.44141845330846e-5),
    (2, 17, -0.72694996297594e-15),
    (3, -4, -0.31679644845054e-4),
    (3, 0, -0.28270797985312e-5),
    (3, 6, -0.85205128120103e-9),
    (4, -5, -0.22425281908000e-5),
    (4, -2, -0.65171222895601e-6),
    (4, 10, -0.14341729937924e-12),
    (5, -8, -0.40516996860117e-6),
    (8, -11, -0.12734301741641e-8),
    (8, -6, -0.17424871230634e-9),
    (21, -29, -0.68762131295531e-18),
    (23, -31, 0.14478307828521e-19),
    (29, -38, 0.26335781662795e-22),
    (30, -39, -0.11947622640071e-22),
    (31, -40, 0.18228094581404e-23),
    (32, -41, -0.93537087292458e-25),
]

# Region 2, Table 10: ideal-gas part (J0, n0)
_R2_0 = [
    (0, -0.96927686500217e1),
    (1, 0.10086655968018e2),
    (-5, -0.56087911283020e-2),
    (-4, 0.71452738081455e-1),
    (-3, -0.40710498223928e0),
    (-2, 0.14240819171444e1),
    (-1, -0.43839511319450e1),
    (2, -0.28408632460772e0),
    (3, 0.21268463753307e-1),
]

# Region 2, Table 11: residual part (I, J, n)
_R2_R = [
    (1, 0, -0.17731742473213e-2),
    (1, 1, -0.17834862292358e-1),
    (1, 2, -0.45996013696365e-1),
    (1, 3, -0.57581259083432e-1),
    (1, 6, -0.50325278727930e-1),
    (2, 1, -0.33032641670203e-4),
    (2, 2, -0.18948987516315e-3),
    (2, 4, -0.39392777243355e-2),
    (2, 7, -0.43797295650573e-1),
    (2, 36, -0.26674547914087e-4),
    (3, 0, 0.20481737692309e-7),
    (3, 1, 0.43870667284435e-6),
    (3, 3, -0.32277677238570e-4),
    (3, 6, -0.15033924542148e-2),
    (3, 35, -0.40668253562649e-1),
    (4, 1, -0.78847309559367e-9),
    (4, 2, 0.12790717852285e-7),
    (4, 3, 0.48225372718507e-6),
    (5, 7, 0.22922076337661e-5),
    (6, 3, -0.16714766451061e-10),
    (6, 16, -0.21171472321355e-2),
    (6, 35, -0.23895741934104e2),
    (7, 0, -0.59059564324270e-17),
    (7, 11, -0.12621808899101e-5),
    (7, 25, -0.38946842435739e-1),
    (8, 8, 0.11256211360459e-10),
    (8, 36, -0.82311340897998e1),
    (9, 13, 0.19809712802088e-7),
    (10, 4, 0.10406965210174e-18),
    (10, 10, -0.10234747095929e-12),
    (10, 14, -0.10018179379511e-8),
    (16, 29, -0.80882908646985e-10),
    (16, 50, 0.10693031879409e0),
    (18, 57, -0.33662250574171e0),
    (20, 20, 0.89185845355421e-24),
    (20, 35, 0.30629316876232e-12),
    (20, 48, -0.42002467698208e-5),
    (21, 21, -0.59056029685639e-25),
    (22, 53, 0.37826947613457e-5),
    (23, 39, -0.12768608934681e-14),
    (24, 26, 0.73087610595061e-28),
    (24, 40, 0.55414715350778e-16),
    (24, 58, -0.94369707241210e-6),
]

# Region 4, Table 34: n1..n10 (index 0 unused)
_N4 = [None,
       0.11670521452767e4, -0.72421316703206e6, -0.17073846940092e2,
       0.12020824702470e5, -0.32325550322333e7, 0.14915108613530e2,
       -0.48232657361591e4, 0.40511340542057e6, -0.23855557567849e0,
       0.65017534844798e3]

# Pre-multiplied coefficient tuples for the sums (same tables, no new numbers).
_R1_T = [(I, J, n, n * I, n * J, n * I * (I - 1), n * J * (J - 1), n * I * J) for I, J, n in _R1]
_R2_T = [(I, J, n, n * I, n * J, n * I * (I - 1), n * J * (J - 1), n * I * J) for I, J, n in _R2_R]
_R2_MAXI = max(t[0] for t in _R2_R)
_R2_MAXJ = max(t[1] for t in _R2_R)


def _region1_derivs(T, p):
    """gamma and derivatives for region 1; derivatives are with respect to pi and tau."""
    pi = p / 16.53
    tau = 1386.0 / T
    a = 7.1 - pi
    b = tau - 1.222
    g = gp = gpp = gt = gtt = gpt = 0.0
    for I, J, n, nI, nJ, nII, nJJ, nIJ in _R1_T:
        aI = a ** I
        bJ = b ** J
        g += n * aI * bJ
        if I:
            aI1 = a ** (I - 1)
            gp -= nI * aI1 * bJ
            gpt -= nIJ * aI1 * b ** (J - 1)
            if I > 1:
                gpp += nII * a ** (I - 2) * bJ
        if J:
            gt += nJ * aI * b ** (J - 1)
            if J != 1:
                gtt += nJJ * aI * b ** (J - 2)
    return pi, tau, g, gp, gpp, gt, gtt, gpt


def region1(T, p):
    """Region 1 properties: dict of v m3/kg, h, u kJ/kg, s, cp kJ/(kg K), w m/s."""
    pi, tau, g, gp, gpp, gt, gtt, gpt = _region1_derivs(T, p)
    RT = R_GAS * T
    return {
        "v": pi * gp * RT / (p * 1000.0),
        "h": tau * gt * RT,
        "u": RT * (tau * gt - pi * gp),
        "s": R_GAS * (tau * gt - g),
        "cp": -tau * tau * gtt * R_GAS,
        "w": math.sqrt(1000.0 * RT * gp * gp / ((gp - tau * gpt) ** 2 / (tau * tau * gtt) - gpp)),
    }


def region1_hv(T, p):
    """(h kJ/kg, v m3/kg) in region 1."""
    pi, tau, g, gp, gpp, gt, gtt, gpt = _region1_derivs(T, p)
    RT = R_GAS * T
    return tau * gt * RT, pi * gp * RT / (p * 1000.0)


def _region2_derivs(T, p, full):
    """Ideal and residual parts of gamma for region 2 and their derivatives.

    With full=False, gamma, gamma_pipi and gamma_pitau are not formed (they are
    only needed for s, w); the sums for v, h, cp are the same code either way.
    """
    pi = p
    tau = 540.0 / T
    # ideal-gas part
    g0 = 0.0
    g0t = 0.0
    g0tt = 0.0
    for J, n in _R2_0:
        if full:
            g0 += n * tau ** J
        if J:
            g0t += n * J * tau ** (J - 1)
            if J != 1:
                g0tt += n * J * (J - 1) * tau ** (J - 2)
    if full:
        g0 += math.log(pi)
    g0p = 1.0 / pi
    g0pp = -1.0 / (pi * pi)
    # residual part: power tables of pi and (tau - 0.5)
    b = tau - 0.5
    pp = [1.0] * (_R2_MAXI + 1)
    for k in range(1, _R2_MAXI + 1):
        pp[k] = pp[k - 1] * pi
    bp = [1.0] * (_R2_MAXJ + 1)
    for k in range(1, _R2_MAXJ + 1):
        bp[k] = bp[k - 1] * b
    gr = grp = grpp = grt = grtt = grpt = 0.0
    for I, J, n, nI, nJ, nII, nJJ, nIJ in _R2_T:
        piI = pp[I]
        piI1 = pp[I - 1]
        bJ = bp[J]
        grp += nI * piI1 * bJ
        if J:
            bJ1 = bp[J - 1]
            grt += nJ * piI * bJ1
            if full:
                grpt += nIJ * piI1 * bJ1
            if J > 1:
                grtt += nJJ * piI * bp[J - 2]
        if full:
            gr += n * piI * bJ
            if I > 1:
                grpp += nII * pp[I - 2] * bJ
    return pi, tau, g0, g0p, g0pp, g0t, g0tt, gr, grp, grpp, grt, grtt, grpt


def region2(T, p):
    """Region 2 properties: dict of v, h, u, s, cp, w."""
    pi, tau, g0, g0p, g0pp, g0t, g0tt, gr, grp, grpp, grt, grtt, grpt = _region2_derivs(T, p, True)
    RT = R_GAS * T
    w2 = 1000.0 * RT * (1.0 + 2.0 * pi * grp + pi * pi * grp * grp) / (
        (1.0 - pi * pi * grpp) + (1.0 + pi * grp - tau * pi * grpt) ** 2 / (tau * tau * (g0tt + grtt)))
    return {
        "v": pi * (g0p + grp) * RT / (p * 1000.0),
        "h": tau * (g0t + grt) * RT,
        "u": RT * (tau * (g0t + grt) - pi * (g0p + grp)),
        "s": R_GAS * (tau * (g0t + grt) - (g0 + gr)),
        "cp": -tau * tau * (g0tt + grtt) * R_GAS,
        "w": math.sqrt(w2),
    }


def region2_hvcp(T, p):
    """(h kJ/kg, v m3/kg, cp kJ/(kg K)) in region 2 (the path used by the march)."""
    pi, tau, g0, g0p, g0pp, g0t, g0tt, gr, grp, grpp, grt, grtt, grpt = _region2_derivs(T, p, False)
    RT = R_GAS * T
    return (tau * (g0t + grt) * RT,
            pi * (g0p + grp) * RT / (p * 1000.0),
            -tau * tau * (g0tt + grtt) * R_GAS)


def psat(T):
    """Saturation pressure MPa at T K, Eq. (30)."""
    n = _N4
    th = T + n[9] / (T - n[10])
    A = th * th + n[1] * th + n[2]
    B = n[3] * th * th + n[4] * th + n[5]
    C = n[6] * th * th + n[7] * th + n[8]
    return (2.0 * C / (-B + math.sqrt(B * B - 4.0 * A * C))) ** 4


def tsat(p):
    """Saturation temperature K at p MPa, Eq. (31)."""
    n = _N4
    be = p ** 0.25
    E = be * be + n[3] * be + n[6]
    F = n[1] * be * be + n[4] * be + n[7]
    G = n[2] * be * be + n[5] * be + n[8]
    D = 2.0 * G / (-F - math.sqrt(F * F - 4.0 * E * G))
    return (n[10] + D - math.sqrt((n[10] + D) ** 2 - 4.0 * (n[9] + n[10] * D))) / 2.0


def sat_props(p):
    """(Tsat K, h', h'', v', v'') at p MPa: h', v' region 1 and h'', v'' region 2 at Tsat."""
    Ts = tsat(p)
    h1, v1 = region1_hv(Ts, p)
    h2, v2, _ = region2_hvcp(Ts, p)
    return Ts, h1, h2, v1, v2


_T_GUESS = [700.0]


def T_ph_region2(p, h, tol=1e-10):
    """Temperature K from (p MPa, h kJ/kg) in region 2: safeguarded Newton."""
    lo = tsat(p) - 100.0
    hi = 1100.0
    T = _T_GUESS[0]
    if not (lo < T < hi):
        T = 0.5 * (lo + hi)
    for _ in range(200):
        hT, _v, cp = region2_hvcp(T, p)
        f = hT - h
        if f > 0.0:
            hi = min(hi, T)
        else:
            lo = max(lo, T)
        dT = -f / cp
        Tn = T + dT
        if not (lo <= Tn <= hi):
            Tn = 0.5 * (lo + hi)
            dT = Tn - T
        T = Tn
        if abs(dT) < tol:
            _T_GUESS[0] = T
            return T
    raise RuntimeError("T(p,h) did not converge: p=%r h=%r" % (p, h))


# --------------------------------------------------------- verification
# Table 5 (region 1), Table 15 (region 2): T K, p MPa, v, h, u, s, cp, w
_TABLE5 = [
    (300.0, 3.0, 0.100215168e-2, 0.115331273e3, 0.112324818e3, 0.392294792e0, 0.417301218e1, 0.150773921e4),
    (300.0, 80.0, 0.971180894e-3, 0.184142828e3, 0.106448356e3, 0.368563852e0, 0.401008987e1, 0.163469054e4),
    (500.0, 3.0, 0.120241800e-2, 0.975542239e3, 0.971934985e3, 0.258041912e1, 0.465580682e1, 0.124071337e4),
]
_TABLE15 = [
    (300.0, 0.0035, 0.394913866e2, 0.254991145e4, 0.241169160e4, 0.852238967e1, 0.191300162e1, 0.427920172e3),
    (700.0, 0.0035, 0.923015898e2, 0.333568375e4, 0.301262819e4, 0.101749996e2, 0.208141274e1, 0.644289068e3),
    (700.0, 30.0, 0.542946619e-2, 0.263149474e4, 0.246861076e4, 0.517540298e1, 0.103505092e2, 0.480386523e3),
]
_TABLE35 = [(300.0, 0.353658941e-2), (500.0, 0.263889776e1), (600.0, 0.123443146e2)]
_TABLE36 = [(0.1, 0.372755919e3), (1.0, 0.453035632e3), (10.0, 0.584149488e3)]

VERIFY_RTOL = 1e-8


def verify_if97(verbose=False):
    """Assert the IF97 verification tables; return the number of values checked."""
    lines = []
    count = 0

    def check(label, got, want):
        nonlocal count
        rel = abs(got - want) / abs(want)
        ok = rel < VERIFY_RTOL
        lines.append("  %-34s %.9e  table %.9e  rel %.1e  %s" % (label, got, want, rel, "ok" if ok else "FAIL"))
        assert ok, "IF97 verification failed: %s got %r want %r" % (label, got, want)
        count += 1

    names = ("v", "h", "u", "s", "cp", "w")
    for T, p, *vals in _TABLE5:
        r = region1(T, p)
        for k, want in zip(names, vals):
            check("T5  region1 T=%g p=%g %s" % (T, p, k), r[k], want)
        h, v = region1_hv(T, p)
        check("T5  region1_hv T=%g p=%g h" % (T, p), h, vals[1])
        check("T5  region1_hv T=%g p=%g v" % (T, p), v, vals[0])
    for T, p, *vals in _TABLE15:
        r = region2(T, p)
        for k, want in zip(names, vals):
            check("T15 region2 T=%g p=%g %s" % (T, p, k), r[k], want)
        h, v, cp = region2_hvcp(T, p)
        check("T15 region2_hvcp T=%g p=%g h" % (T, p), h, vals[1])
        check("T15 region2_hvcp T=%g p=%g v" % (T, p), v, vals[0])
        check("T15 region2_hvcp T=%g p=%g cp" % (T, p), cp, vals[4])
        # inverse T(p,h) must return the table temperature
        check("T15 T(p,h) p=%g h=%g" % (p, vals[1]), T_ph_region2(p, vals[1]), T)
    for T, want in _TABLE35:
        check("T35 psat(T=%g)" % T, psat(T), want)
    for p, want in _TABLE36:
        check("T36 Tsat(p=%g)" % p, tsat(p), want)
    if verbose:
        print("\n".join(lines))
    return count


# =============================================================================
# Pipe model
# =============================================================================

ROUGHNESS_MM = 0.2
AREA_CONST = 0.7853981  # as specified (pi/4 truncated)


class Pipe:
    """One pipe: D, s mm; L m; G t/h; zeta; beta; ta degC; qu kJ/(m h degC)."""

    def __init__(self, D, s, L, G, zeta, beta, ta, qu):
        self.D, self.s, self.L, self.G = D, s, L, G
        self.zeta, self.beta, self.ta, self.qu = zeta, beta, ta, qu
        self.d = D - 2.0 * s  # mm
        self.lam = 1.0 / (1.14 + 2.0 * math.log10(self.d / ROUGHNESS_MM)) ** 2

    def dpdx(self, rho):
        """MPa per m (negative)."""
        d = self.d
        w = self.G * 1e6 / (AREA_CONST * d * d * 3.6 * rho)
        R = self.lam / (d / 1000.0) * rho * w * w / 2.0
        return -(1.0 + self.zeta) * R * 1e-6

    def heat(self, t_c):
        """Heat lost per metre, kJ/(m h), at steam temperature t_c degC."""
        return (1.0 + self.beta) * self.qu * (t_c - self.ta)


def state_ph(p, h):
    """Classify (p, h): returns dict phase, T K, x, rho, and saturation values."""
    Ts, h1, h2, v1, v2 = sat_props(p)
    if h > h2:
        T = T_ph_region2(p, h)
        _h, v, _cp = region2_hvcp(T, p)
        return {"phase": "superheated", "T": T, "x": 1.0, "rho": 1.0 / v, "Ts": Ts, "h1": h1, "h2": h2}
    x = (h - h1) / (h2 - h1)
    v = v1 + x * (v2 - v1)
    return {"phase": "wet", "T": Ts, "x": x, "rho": 1.0 / v, "Ts": Ts, "h1": h1, "h2": h2}


# ---- right-hand sides; y = [p, h, Qint] (energy law) or [p, T, Qint] (heat-loss law)
# Qint is the integral of q dx in kJ/h.

def _rhs_energy_super(pipe, y):
    p, h = y[0], y[1]
    T = T_ph_region2(p, h)
    _h, v, _cp = region2_hvcp(T, p)
    q = pipe.heat(T - 273.15)
    return (pipe.dpdx(1.0 / v), -q / (pipe.G * 1000.0), q)


def _rhs_energy_wet(pipe, y):
    p, h = y[0], y[1]
    Ts, h1, h2, v1, v2 = sat_props(p)
    x = (h - h1) / (h2 - h1)
    v = v1 + x * (v2 - v1)
    q = pipe.heat(Ts - 273.15)
    return (pipe.dpdx(1.0 / v), -q / (pipe.G * 1000.0), q)


def _rhs_heatloss(pipe, y):
    p, T = y[0], y[1]
    _h, v, cp = region2_hvcp(T, p)
    q = pipe.heat(T - 273.15)
    return (pipe.dpdx(1.0 / v), -q / (pipe.G * 1000.0 * cp), q)


def _rk4(f, pipe, y, dx):
    k1 = f(pipe, y)
    y2 = [y[i] + 0.5 * dx * k1[i] for i in range(3)]
    k2 = f(pipe, y2)
    y3 = [y[i] + 0.5 * dx * k2[i] for i in range(3)]
    k3 = f(pipe, y3)
    y4 = [y[i] + dx * k3[i] for i in range(3)]
    k4 = f(pipe, y4)
    return [y[i] + dx / 6.0 * (k1[i] + 2.0 * k2[i] + 2.0 * k3[i] + k4[i]) for i in range(3)]


def _find_event(f, pipe, y, step, g, tol=1e-10):
    """Smallest s in (0, step] where g(rk4(y, s)) changes sign (Illinois method).

    g(y) != 0 and g(rk4(y, step)) has the other sign.  Returns (s, y(s)).
    """
    a, ga = 0.0, g(y)
    b = step
    yb = _rk4(f, pipe, y, b)
    gb = g(yb)
    side = 0
    ys = yb
    s = b
    for _ in range(200):
        s = (a * gb - b * ga) / (gb - ga)
        if not (a < s < b):
            s = 0.5 * (a + b)
        ys = _rk4(f, pipe, y, s)
        gs = g(ys)
        if gs == 0.0:
            return s, ys
        if (gs > 0) == (gb > 0):
            b, gb = s, gs
            if side == -1:
                ga *= 0.5
            side = -1
        else:
            a, ga = s, gs
            if side == 1:
                gb *= 0.5
            side = 1
        if b - a < tol:
            break
    # take the end of the bracket on the far side of the event
    s = b
    return s, _rk4(f, pipe, y, s)


def _g_sat(y):
    """h - h''(p): > 0 superheated."""
    return y[1] - sat_props(y[0])[2]


def _g_x08(y):
    Ts, h1, h2, v1, v2 = sat_props(y[0])
    return (y[1] - h1) / (h2 - h1) - 0.8


def march_energy(pipe, p0, h0, dx):
    """Energy-balance law from (p0 MPa, h0 kJ/kg). Returns dict of results."""
    y = [p0, h0, 0.0]
    st0 = state_ph(p0, h0)
    phase = st0["phase"]
    x_in = st0["x"]
    if phase == "superheated":
        _T_GUESS[0] = st0["T"]
    x = 0.0
    L = pipe.L
    x_sat = None       # first saturation
    x_resuper = None   # wet -> superheated again (not expected)
    x_08 = None        # first x = 0.8
    while L - x > 1e-9:
        step = min(dx, L - x)
        if phase == "superheated":
            yn = _rk4(_rhs_energy_super, pipe, y, step)
            if _g_sat(yn) <= 0.0:
                s, yn = _find_event(_rhs_energy_super, pipe, y, step, _g_sat)
                if x_sat is None:
                    x_sat = x + s
                phase = "wet"
                x += s
                y = yn
                continue
        else:
            yn = _rk4(_rhs_energy_wet, pipe, y, step)
            if x_08 is None and _g_x08(yn) <= 0.0 and _g_x08(y) > 0.0:
                s, _ = _find_event(_rhs_energy_wet, pipe, y, step, _g_x08)
                x_08 = x + s
            if _g_sat(yn) > 0.0:
                s, yn = _find_event(_rhs_energy_wet, pipe, y, step, _g_sat)
                if x_resuper is None:
                    x_resuper = x + s
                phase = "superheated"
                x += s
                y = yn
                continue
        if yn[0] <= 0.02:
            raise RuntimeError("pressure fell below 0.02 MPa at %.1f m" % x)
        x += step
        y = yn
    p, h, Qint = y
    st = state_ph(p, h)
    x_out = st["x"]
    return {
        "p_end": p,
        "t_end": st["T"] - 273.15,
        "h_end": h,
        "x_end": x_out,
        "phase_end": st["phase"],
        "heat_kW": Qint / 3600.0,
        "condensate_t_h": pipe.G * (x_in - x_out),
        "dist_sat": x_sat,
        "dist_x08": x_08,
        "dist_resuperheat": x_resuper,
        "dp": p0 - p,
        "tsat_end": st["Ts"] - 273.15,
    }


def _g_tsat(y):
    return y[1] - tsat(y[0])


def march_heatloss(pipe, p0, T0, dx):
    """Heat-loss law from (p0 MPa, T0 K); stops when T reaches Tsat(p)."""
    y = [p0, T0, 0.0]
    x = 0.0
    L = pipe.L
    x_stop = None
    while L - x > 1e-9:
        step = min(dx, L - x)
        yn = _rk4(_rhs_heatloss, pipe, y, step)
        if _g_tsat(yn) <= 0.0:
            s, yn = _find_event(_rhs_heatloss, pipe, y, step, _g_tsat)
            x_stop = x + s
            x += s
            y = yn
            break
        x += step
        y = yn
    p, T, Qint = y
    h, _v, _cp = region2_hvcp(T, p)
    return {
        "p_end": p,
        "t_end": T - 273.15,
        "h_end": h,
        "heat_kW": Qint / 3600.0,
        "dist_sat": x_stop,
        "dist_end": x,
        "dp": p0 - p,
    }


# =============================================================================
# Cases
# =============================================================================

def _case(D, s, L, G, zeta, beta, ta, qu, p0, t0, note):
    return {"pipe": dict(D=D, s=s, L=L, G=G, zeta=zeta, beta=beta, ta=ta, qu=qu),
            "p0": p0, "t0": t0, "note": note}


T_SAT_08 = tsat(0.8) - 273.15  # degC, Tsat(0.8 MPa) = 170.413511 degC

CASES = {
    "A": _case(273, 7, 3000, 25, 0.15, 0.2, 20, 1.2, 1.6, 300.0,
               "superheated main; as briefed (drop 0.375 MPa is within 0.3-0.5, G kept at 25 t/h)"),
    "B": _case(89, 4, 600, 0.8, 0.15, 0.2, 0, 0.6, 1.0, 200.0,
               "crosses saturation mid-pipe; L cut from 2000 m to 600 m (with 2000 m saturation came "
               "at 305 m = 15 %; now 51 % of L, end x 0.977)"),
    "C": _case(159, 4.5, 800, 5, 0.15, 0.2, 10, 0.8, 0.8, T_SAT_08 + 2.0,
               "starts 2 K superheated: t0 = Tsat(0.8 MPa) + 2 K; as briefed"),
    "D": _case(219, 12, 2000, 60, 0.15, 0.2, 20, 1.0, 8.0, 480.0,
               "8 MPa main; as briefed"),
    "E": _case(57, 3.5, 1500, 0.3, 0.1, 0.2, 0, 0.6, 0.6, 170.0,
               "dryness falls under 0.8; L cut from 3000 m to 1500 m (with 3000 m the pressure "
               "falls below 0.02 MPa at 2029 m); x = 0.8 at ~1358 m"),
    "F_trunk": _case(159, 4.5, 500, 4, 0.15, 0.2, 0, 0.8, 1.0, 200.0,
                     "trunk of case F; as briefed"),
    "F1": _case(108, 4, 500, 3.5, 0.15, 0.2, 0, 0.8, None, None,
                "branch 1 from the trunk end; L cut from 1500 m to 500 m (with 1500 m the pressure "
                "falls below 0.02 MPa at 1168 m); stays superheated; ta, qu, zeta, beta as trunk"),
    "F2": _case(57, 3.5, 1500, 0.5, 0.15, 0.2, 0, 0.8, None, None,
                "branch 2 from the trunk end; as briefed (L 1500 m); goes wet; ta, qu, zeta, beta as trunk"),
}

CASE_ORDER = ["A", "B", "C", "D", "E", "F_trunk", "F1", "F2"]
STEP = 0.5  # m


def _run_all(dx):
    out = {}
    for name in CASE_ORDER:
        c = CASES[name]
        pipe = Pipe(**c["pipe"])
        if name in ("F1", "F2"):
            tr_e = out["F_trunk"]["energy"]
            tr_h = out["F_trunk"]["heatloss"]
            p0, h0 = tr_e["p_end"], tr_e["h_end"]
            p0_hl, T0_hl = tr_h["p_end"], tr_h["t_end"] + 273.15
        else:
            p0 = c["p0"]
            T0 = c["t0"] + 273.15
            h0 = region2_hvcp(T0, p0)[0]
            p0_hl, T0_hl = p0, T0
        st0 = state_ph(p0, h0)
        r = {"start": {"p": p0, "t": st0["T"] - 273.15, "h": h0, "tsat": st0["Ts"] - 273.15,
                       "h_sat_vap": st0["h2"], "h_sat_liq": st0["h1"], "phase": st0["phase"]}}
        r["energy"] = march_energy(pipe, p0, h0, dx)
        if st0["phase"] == "superheated" and T0_hl > tsat(p0_hl):
            r["heatloss"] = march_heatloss(pipe, p0_hl, T0_hl, dx)
            r["heatloss"]["p_start"] = p0_hl
            r["heatloss"]["t_start"] = T0_hl - 273.15
        if name in ("F1", "F2") and st0["phase"] == "superheated":
            r["heatloss_same_start"] = march_heatloss(pipe, p0, st0["T"], dx)
        if r.get("heatloss") and r["heatloss"]["dist_sat"] is None and r["energy"]["phase_end"] == "superheated":
            r["dT_end_heatloss_minus_energy"] = r["heatloss"]["t_end"] - r["energy"]["t_end"]
        out[name] = r
    return out


def _diff(a, b):
    """Recursive difference a - b of numeric leaves (None/str kept as None)."""
    if isinstance(a, dict):
        return {k: _diff(a[k], b.get(k)) for k in a}
    if isinstance(a, (int, float)) and isinstance(b, (int, float)) and not isinstance(a, bool):
        return a - b
    return None


def compute_all(dx=STEP, halving=True):
    """Verify IF97, run all cases at step dx; with halving also at dx/2.

    Returns {"dx": dx, "cases": {...}, "halving_diff": {...} or None, "seconds": t}.
    halving_diff holds value(dx) - value(dx/2) for every number.
    """
    t0 = time.perf_counter()
    n = verify_if97()
    res = _run_all(dx)
    diff = None
    if halving:
        res2 = _run_all(dx / 2.0)
        diff = _diff(res, res2)
    return {"dx": dx, "cases": res, "halving_diff": diff, "verified": n,
            "seconds": time.perf_counter() - t0}


# =============================================================================
# Printing
# =============================================================================

def _g9(v):
    if v is None:
        return "-"
    return "%.9g" % v


def _d(v):
    if v is None:
        return ""
    return "   (halving diff %+.1e)" % v


def format_results(R):
    L = []
    dx = R["dx"]
    D = R["halving_diff"]
    L.append("Dorvent wet-steam reference (independent; IAPWS-IF97 R7-97(2012))")
    L.append("IF97 verification: %d values of Tables 5, 15, 35, 36 agree to < %.0e relative: PASS"
             % (R["verified"], VERIFY_RTOL))
    L.append("RK4 step %g m; 'halving diff' = value(step %g m) - value(step %g m)" % (dx, dx, dx / 2))
    L.append("Units: p MPa (abs), t degC, h kJ/kg, x -, heat kW, condensate t/h, distances m from pipe start")
    for name in CASE_ORDER:
        c = CASES[name]
        r = R["cases"][name]
        d = D[name] if D else None
        pp = c["pipe"]
        L.append("")
        L.append("=" * 78)
        L.append("Case %s: %s" % (name, c["note"]))
        L.append("  D %g mm, s %g mm, d %g mm, L %g m, G %g t/h, zeta %g, beta %g, ta %g C, qu %g kJ/(m h C)"
                 % (pp["D"], pp["s"], pp["D"] - 2 * pp["s"], pp["L"], pp["G"], pp["zeta"], pp["beta"],
                    pp["ta"], pp["qu"]))
        st = r["start"]
        L.append("  start: p %s  t %s  h %s  (%s; tsat %s, h'' %s)"
                 % (_g9(st["p"]), _g9(st["t"]), _g9(st["h"]), st["phase"], _g9(st["tsat"]), _g9(st["h_sat_vap"])))
        e = r["energy"]
        de = d["energy"] if d else {}
        L.append("  energy-balance law:")
        rows = [("end p", "p_end"), ("end t", "t_end"), ("end h", "h_end"), ("end x", "x_end"),
                ("pressure drop", "dp"), ("heat lost kW", "heat_kW"), ("condensate t/h", "condensate_t_h"),
                ("saturation at", "dist_sat"), ("x = 0.8 at", "dist_x08")]
        for label, k in rows:
            if k in ("dist_sat", "dist_x08") and e[k] is None:
                continue
            L.append("    %-16s %-16s%s" % (label, _g9(e[k]), _d(de.get(k))))
        L.append("    %-16s %s" % ("end phase", e["phase_end"]))
        if e["dist_sat"] is None and st["phase"] == "superheated":
            L.append("    %-16s %s" % ("saturation", "not reached"))
        if e["dist_resuperheat"] is not None:
            L.append("    %-16s %s" % ("re-superheated", _g9(e["dist_resuperheat"])))
        hl = r.get("heatloss")
        if hl:
            dh = d["heatloss"] if d else {}
            L.append("  heat-loss law (superheated only):")
            if name in ("F1", "F2"):
                L.append("    (starts from the heat-loss trunk end: p %s, t %s)"
                         % (_g9(hl["p_start"]), _g9(hl["t_start"])))
            for label, k in [("end p", "p_end"), ("end t", "t_end"), ("end h", "h_end"),
                             ("pressure drop", "dp"), ("heat lost kW", "heat_kW")]:
                L.append("    %-16s %-16s%s" % (label, _g9(hl[k]), _d(dh.get(k))))
            if hl["dist_sat"] is not None:
                L.append("    %-16s %-16s%s   (march stops there; 'end' values are at that point)"
                         % ("t = tsat at", _g9(hl["dist_sat"]), _d(dh.get("dist_sat"))))
        same = r.get("heatloss_same_start")
        if same:
            ds = d["heatloss_same_start"] if d else {}
            L.append("  heat-loss law from the energy-balance start (p %s, t %s):" % (_g9(st["p"]), _g9(st["t"])))
            if same["dist_sat"] is None:
                for label, k in [("end p", "p_end"), ("end t", "t_end")]:
                    L.append("    %-16s %-16s%s" % (label, _g9(same[k]), _d(ds.get(k))))
            else:
                L.append("    %-16s %-16s%s   (march stops there: no end)"
                         % ("t = tsat at", _g9(same["dist_sat"]), _d(ds.get("dist_sat"))))
        if "dT_end_heatloss_minus_energy" in r:
            L.append("  end t (heat-loss law) - end t (energy law) = %s K%s"
                     % (_g9(r["dT_end_heatloss_minus_energy"]), _d(d.get("dT_end_heatloss_minus_energy") if d else None)))
    if D:
        worst = 0.0
        for name in CASE_ORDER:
            for law in ("energy", "heatloss", "heatloss_same_start"):
                for k, v in (D[name].get(law) or {}).items():
                    if v is not None:
                        ref = R["cases"][name][law][k]
                        worst = max(worst, abs(v) / max(abs(ref), 1e-300) if ref else 0.0)
        L.append("")
        L.append("largest relative step-halving difference over all printed quantities: %.1e" % worst)
    L.append("run time %.1f s" % R["seconds"])
    return "\n".join(L)


def main(argv):
    if "--verbose" in argv:
        verify_if97(verbose=True)
    R = compute_all(halving="--quick" not in argv)
    print(format_results(R))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
