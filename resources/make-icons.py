#!/usr/bin/env python3
# Draws the program icon (32-bit colour with an alpha channel, at every size
# the task bar and the title bars ask for from 100 % to 300 %), the two menu
# images, the macro list's key cap and the setup program's side picture; the
# committed files came from it. Needs python3 alone.
import os
import struct, math
here = os.path.dirname(os.path.abspath(__file__))
PAL = [(0,0,0),(128,0,0),(0,128,0),(128,128,0),(0,0,128),(128,0,128),(0,128,128),(192,192,192),
       (128,128,128),(255,0,0),(0,255,0),(255,255,0),(0,0,255),(255,0,255),(0,255,255),(255,255,255)]
BLACK,MAROON,GREEN,OLIVE,NAVY,PURPLE,TEAL,SILVER,GRAY,RED,LIME,YELLOW,BLUE,FUCHSIA,AQUA,WHITE=range(16)
T=None  # transparent

def seg_dist(px,py,ax,ay,bx,by):
    dx,dy=bx-ax,by-ay; t=max(0,min(1,((px-ax)*dx+(py-ay)*dy)/(dx*dx+dy*dy)))
    return math.hypot(px-(ax+t*dx),py-(ay+t*dy))

def icon(n):
    s=n/32.0; img=[[T]*n for _ in range(n)]
    r=6*s
    for y in range(n):
        for x in range(n):
            cx,cy=x+0.5,y+0.5
            # rounded square
            qx=max(r-cx, cx-(n-r), 0); qy=max(r-cy, cy-(n-r), 0)
            d=math.hypot(qx,qy)
            if d<=r:
                img[y][x]= NAVY if (d>r-1.3*s or cx<1.3*s or cy<1.3*s or cx>n-1.3*s or cy>n-1.3*s) else TEAL
            # V stroke
            w=3.2*s
            if min(seg_dist(cx,cy,8*s,8*s,16*s,25*s),seg_dist(cx,cy,16*s,25*s,24*s,8*s))<=w/2 and img[y][x] is not None:
                img[y][x]=WHITE
            if math.hypot(cx-25*s,cy-25*s)<=3.2*s and img[y][x] is not None:
                img[y][x]=YELLOW
    return img

def pack4(img, n):
    # bottom-up rows of 4-bit indices, each row padded to 4 bytes
    out=b''
    for y in reversed(range(len(img))):
        row=bytearray()
        for x in range(0,len(img[0]),2):
            a=img[y][x] or 0; b=img[y][x+1] or 0
            row.append((a<<4)|b)
        while len(row)%4: row.append(0)
        out+=bytes(row)
    return out

def paldata():
    return b''.join(bytes((b,g,r,0)) for r,g,b in PAL)

ICON_SIZES=(16,20,24,32,40,48)
SAMPLES=4  # per side of a pixel: the edges are drawn with partial cover

def icon_colour(cx,cy,s,n):
    """The colour at a point of the n-pixel icon, or None outside it."""
    r=6*s
    qx=max(r-cx, cx-(n-r), 0); qy=max(r-cy, cy-(n-r), 0)
    d=math.hypot(qx,qy)
    if d>r: return None
    # At least a pixel of edge, so the small sizes keep their outline.
    edge=max(1.3*s,1.0)
    colour=NAVY if (d>r-edge or cx<edge or cy<edge or cx>n-edge or cy>n-edge) else TEAL
    w=max(3.2*s,2.0)
    if min(seg_dist(cx,cy,8*s,8*s,16*s,25*s),seg_dist(cx,cy,16*s,25*s,24*s,8*s))<=w/2:
        colour=WHITE
    if math.hypot(cx-25*s,cy-25*s)<=max(3.2*s,2.0):
        colour=YELLOW
    return colour

def icon32(n):
    """Rows of (b,g,r,a), top row first."""
    s=n/32.0; rows=[]
    for y in range(n):
        row=[]
        for x in range(n):
            tb=tg=tr=ta=0
            for j in range(SAMPLES):
                for i in range(SAMPLES):
                    c=icon_colour(x+(i+0.5)/SAMPLES,y+(j+0.5)/SAMPLES,s,n)
                    if c is None: continue
                    r,g,b=PAL[c]; tr+=r; tg+=g; tb+=b; ta+=1
            if ta==0: row.append((0,0,0,0)); continue
            row.append((round(tb/ta),round(tg/ta),round(tr/ta),round(255*ta/SAMPLES**2)))
        rows.append(row)
    return rows

def dib32(rows,n):
    hdr=struct.pack('<IiiHHIIiiII',40,n,n*2,1,32,0,0,0,0,0,0)
    pixels=b''.join(bytes(p) for row in reversed(rows) for p in row)
    # The AND mask, for whatever ignores the alpha channel.
    andmask=b''
    for row in reversed(rows):
        bits=bytearray((n+31)//32*4)
        for x,p in enumerate(row):
            if p[3]==0: bits[x//8]|=0x80>>(x%8)
        andmask+=bytes(bits)
    return hdr+pixels+andmask

datas=[(n,dib32(icon32(n),n)) for n in ICON_SIZES]
off=6+16*len(datas); ico=struct.pack('<HHH',0,1,len(datas)); body=b''
for n,d in datas:
    ico+=struct.pack('<BBBBHHII',n,n,0,0,1,32,len(d),off+len(body)); body+=d
open(os.path.join(here,'velmora.ico'),'wb').write(ico+body)

def bmp(img,path):
    w,h=len(img[0]),len(img)
    d=struct.pack('<IiiHHIIiiII',40,w,h,1,4,0,0,0,0,16,0)+paldata()+pack4(img,w)
    open(path,'wb').write(struct.pack('<2sIHHI',b'BM',14+len(d),0,0,14+40+64)+d)

# Options: a sheet of paper with lines and a folded corner, on silver
opt=[[SILVER]*16 for _ in range(16)]
for y in range(1,15):
    for x in range(3,13):
        opt[y][x]=WHITE
for y in range(1,15): opt[y][3]=GRAY; opt[y][12]=GRAY
for x in range(3,13): opt[1][x]=GRAY; opt[14][x]=GRAY
for i in range(4): 
    for j in range(i+1): opt[1+i][9+j]=SILVER if j<i else GRAY
for k in range(4): opt[1+k][9]=GRAY; opt[4][9+k]=GRAY
for y in (6,8,10,12):
    for x in range(5,11 if y!=12 else 9): opt[y][x]=NAVY
bmp(opt,os.path.join(here,'menu-options.bmp'))
# Close: a red cross with a dark edge, on silver
cl=[[SILVER]*16 for _ in range(16)]
for y in range(16):
    for x in range(16):
        cx,cy=x+0.5,y+0.5
        d=min(seg_dist(cx,cy,3.5,3.5,12.5,12.5),seg_dist(cx,cy,12.5,3.5,3.5,12.5))
        if d<=1.6: cl[y][x]=RED
        elif d<=2.3: cl[y][x]=MAROON
bmp(cl,os.path.join(here,'menu-close.bmp'))
# Key cap: a key seen slightly from above, its top lit from the top left,
# its front and right side in shadow, on silver
key=[[SILVER]*16 for _ in range(16)]
for x in range(3,13): key[2][x]=BLACK; key[13][x]=BLACK
for y in range(3,13): key[y][2]=BLACK; key[y][13]=BLACK
for y in range(3,13):
    for x in range(3,13):
        if y>=10 or x>=12: key[y][x]=GRAY
for x in range(3,12): key[3][x]=WHITE
for y in range(3,10): key[y][3]=WHITE
bmp(key,os.path.join(here,'keycap.bmp'))
# The setup program's side picture (164 x 314, the wizard's size): the icon,
# large, on navy
side=[[NAVY]*164 for _ in range(314)]
big=icon(96)
for y in range(96):
    for x in range(96):
        if big[y][x] is not None: side[48+y][34+x]=big[y][x]
bmp(side,os.path.join(here,'setup-side.bmp'))
